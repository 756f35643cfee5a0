// TPaintControl: a plain container that fills itself with its colour, can draw
// a rectangular border of its own width and colour, and lays its children out
// inside that border. The window's summary strip is one.
#pragma once

#include <QColor>
#include <QWidget>

namespace velmora {

class TPaintControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    enum TBorderStyle : quint8 { bsNone = 0, bsSingle = 1 };
    Q_ENUM(TBorderStyle)

    explicit TPaintControl(QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void setColor(const QColor& color);
    // The pen width of the border and the inset of the children's area; 0 and up.
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle style);
    QColor BorderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);

signals:
    // Raised at the end of every paint, with the painter still on the control.
    void OnPaint(QPainter* Canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    QColor borderColor_ = Qt::black;
};

}  // namespace velmora
