// TPaintPanel: a panel that paints a picture as its background, stretched in
// its own way (only one pixel column or row of the picture is stretched over
// the space it does not cover), then its caption and an optional one-line
// frame. The window's header strip is one.
//
// DrawStretchedPicture is the picture step on its own, usable on any painter.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace velmora {

class TPaintPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TBorderStyle BevelStyle READ BevelStyle WRITE setBevelStyle)
    Q_PROPERTY(QColor BevelColor READ BevelColor WRITE setBevelColor)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool AutoWidth READ AutoWidth WRITE setAutoWidth)
    Q_PROPERTY(bool AutoHeight READ AutoHeight WRITE setAutoHeight)
    Q_PROPERTY(THorzStretchType PicHorzStretch READ PicHorzStretch WRITE setPicHorzStretch)
    Q_PROPERTY(TVertStretchType PicVertStretch READ PicVertStretch WRITE setPicVertStretch)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE setBevelWidth)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE setVerticalAlignment)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE setParentBackground)

public:
    enum THorzStretchType : quint8 { hstNone = 0, hstAll = 1, hstLeft = 2, hstMiddle = 3, hstRight = 4 };
    Q_ENUM(THorzStretchType)
    enum TVertStretchType : quint8 { vstNone = 0, vstAll = 1, vstTop = 2, vstCenter = 3, vstBottom = 4 };
    Q_ENUM(TVertStretchType)
    enum TBorderStyle : quint8 { bsNone = 0, bsSingle = 1 };
    Q_ENUM(TBorderStyle)
    enum TAlignment : quint8 { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
    Q_ENUM(TAlignment)
    enum TVerticalAlignment : quint8 { taAlignTop = 0, taAlignBottom = 1, taVerticalCenter = 2 };
    Q_ENUM(TVerticalAlignment)

    explicit TPaintPanel(QWidget* parent = nullptr);

    TBorderStyle BevelStyle() const { return bevelStyle_; }
    void setBevelStyle(TBorderStyle style);
    QColor BevelColor() const { return bevelColor_; }
    void setBevelColor(const QColor& color);
    // The pen width of the frame line.
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);

    QPixmap Picture() const { return picture_; }
    // Copies the picture in; with AutoWidth or AutoHeight on, the panel takes its size.
    void setPicture(const QPixmap& picture);
    bool AutoWidth() const { return autoWidth_; }
    // Refused (the property keeps its value) while the panel holds no picture.
    void setAutoWidth(bool on);
    bool AutoHeight() const { return autoHeight_; }
    void setAutoHeight(bool on);
    THorzStretchType PicHorzStretch() const { return horzStretch_; }
    void setPicHorzStretch(THorzStretchType stretch);
    TVertStretchType PicVertStretch() const { return vertStretch_; }
    void setPicVertStretch(TVertStretchType stretch);

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
    void setVerticalAlignment(TVerticalAlignment alignment);
    // Fills the panel where it has no picture, unless it shows its parent's background.
    QColor Color() const { return color_; }
    void setColor(const QColor& color);
    bool ParentBackground() const { return parentBackground_; }
    void setParentBackground(bool on);

    QSize sizeHint() const override;

signals:
    // Raised at the end of every paint, with the painter still on the panel.
    void OnPaint(QPainter* Canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PictureChanged();
    int CaptionFlags() const;
    template <typename T>
    void StoreAndRepaint(T& field, const T& value);

    TBorderStyle bevelStyle_ = bsNone;
    QColor bevelColor_ = Qt::black;
    int bevelWidth_ = 1;
    QPixmap picture_;
    QImage pictureImage_;  // the picture in the form the stretching reads
    bool autoWidth_ = false;
    bool autoHeight_ = false;
    THorzStretchType horzStretch_ = hstNone;
    TVertStretchType vertStretch_ = vstNone;
    QString caption_;
    TAlignment alignment_ = taCenter;
    TVerticalAlignment verticalAlignment_ = taVerticalCenter;
    QColor color_;
    bool parentBackground_ = false;
};

using THorzStretchType = TPaintPanel::THorzStretchType;
using TVertStretchType = TPaintPanel::TVertStretchType;
using enum TPaintPanel::THorzStretchType;
using enum TPaintPanel::TVertStretchType;

// Draws `picture` onto `canvas` over (0, 0)-(width, height). Horizontally first:
// hstAll scales the whole picture; hstLeft stretches its first column over the
// space left of it, so the picture ends at the right edge; hstRight stretches
// its last column to the right of it; hstMiddle keeps both halves and
// stretches the middle column between them. The result is then treated the
// same way vertically (vstAll, vstTop, vstBottom, vstCenter). With both modes
// none the picture is drawn as it is. Stretching repeats pixels, never blends.
void DrawStretchedPicture(QPainter& canvas, const QImage& picture, int width, int height, THorzStretchType horz,
                          TVertStretchType vert);

}  // namespace velmora
