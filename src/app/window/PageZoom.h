// The page's zoom: Ctrl+plus and Ctrl+minus step through the usual zoom
// levels, Ctrl+0 goes back to 100 %; the level is kept between starts and
// holds for every page the view loads.
#pragma once

#include <QObject>

class QWebEngineView;
class QWidget;

namespace velmora {

// The zoom levels a step goes through, smallest first.
inline constexpr double kPageZoomLevels[] = {0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

class TPageZoom : public QObject {
    Q_OBJECT

public:
    // The shortcuts work anywhere in `window`; the level is read from the settings.
    TPageZoom(QWidget& window, QWebEngineView& view);

    double Factor() const { return factor_; }
    // One level up (+1) or down (-1); 0 goes back to 100 %.
    void Step(int direction);

private:
    void Apply();

    QWebEngineView& view_;
    double factor_ = 1.0;
};

}  // namespace velmora
