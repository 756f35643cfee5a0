// An image button drawn entirely from pictures: one for the normal look, one
// while the mouse is over it, one while it is held down and one while it is
// disabled, with an optional caption beside, above, below or over the picture.
// TImgControl holds the behaviour, TImgButton publishes it, and TImgManager
// holds one shared set of pictures for several buttons.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace velmora {

class TImgManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(QPixmap ImgNormal READ ImgNormal WRITE setImgNormal)
    Q_PROPERTY(QPixmap ImgCheck READ ImgCheck WRITE setImgCheck)
    Q_PROPERTY(QPixmap ImgEnter READ ImgEnter WRITE setImgEnter)
    Q_PROPERTY(QPixmap ImgDown READ ImgDown WRITE setImgDown)
    Q_PROPERTY(QPixmap ImgDisable READ ImgDisable WRITE setImgDisable)

public:
    explicit TImgManager(QObject* parent = nullptr);

    QPixmap ImgNormal() const { return normal_; }
    void setImgNormal(const QPixmap& picture);
    QPixmap ImgEnter() const { return enter_; }
    void setImgEnter(const QPixmap& picture);
    QPixmap ImgDown() const { return down_; }
    void setImgDown(const QPixmap& picture);
    QPixmap ImgDisable() const { return disable_; }
    void setImgDisable(const QPixmap& picture);
    QPixmap ImgCheck() const { return check_; }
    void setImgCheck(const QPixmap& picture);

signals:
    // A picture changed; the buttons that share the set repaint.
    void Changed();

private:
    void Store(QPixmap& field, const QPixmap& picture);

    QPixmap normal_;
    QPixmap enter_;
    QPixmap down_;
    QPixmap disable_;
    QPixmap check_;
};

class TImgControl : public QWidget {
    Q_OBJECT

public:
    enum TImgControlLayout : quint8 { iclImgLeft = 0, iclImgRight = 1, iclImgTop = 2, iclImgBottom = 3, iclImgCenter = 4 };
    Q_ENUM(TImgControlLayout)
    enum TVisualState : quint8 { vsNormal = 0, vsHot = 1, vsDown = 2 };
    Q_ENUM(TVisualState)

    explicit TImgControl(QWidget* parent = nullptr);

    QPixmap ImgNormal() const { return normal_; }
    // Copies the picture in; with AutoSize on, the control takes its size.
    void setImgNormal(const QPixmap& picture);
    QPixmap ImgEnter() const { return enter_; }
    void setImgEnter(const QPixmap& picture);
    QPixmap ImgDown() const { return down_; }
    void setImgDown(const QPixmap& picture);
    QPixmap ImgDisable() const { return disable_; }
    void setImgDisable(const QPixmap& picture);
    // Filled from a manager's ImgCheck; no state of the button shows it.
    QPixmap ImgCheck() const { return check_; }
    void setImgCheck(const QPixmap& picture);

    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    TImgControlLayout ImgButtonLayout() const { return layout_; }
    void setImgButtonLayout(TImgControlLayout layout);
    bool AutoRepaintParent() const { return autoRepaintParent_; }
    void setAutoRepaintParent(bool on) { autoRepaintParent_ = on; }
    // The gap between picture and caption; only its low 16 bits count, unsigned.
    int Spacing() const { return spacing_; }
    void setSpacing(int spacing);
    // Pixels by which picture and caption move up and left while the mouse is over it.
    int OnEnterOffset() const { return enterOffset_; }
    void setOnEnterOffset(int offset) { enterOffset_ = offset; }
    // Pixels by which they move down and right while it is held down.
    int OnDownOffset() const { return downOffset_; }
    void setOnDownOffset(int offset) { downOffset_ = offset; }
    // Shared pictures, not owned; forgotten when the manager is destroyed.
    TImgManager* ImgManager() const { return manager_; }
    void setImgManager(TImgManager* manager);

    TVisualState VisualState() const { return state_; }
    // True from a left-button press on the control until its release.
    bool Pressed() const { return pressed_; }

    QSize sizeHint() const override;

signals:
    void OnClick();
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void StorePicture(QPixmap& field, const QPixmap& picture);
    void ApplyAutoSize();
    void TakeManagerPictures();
    void FillMissingPictures();
    const QPixmap& PictureToShow() const;
    void EnterState(TVisualState state);
    bool IsControlUnderCursor(const QPoint& localPos) const;

    QPixmap normal_;
    QPixmap enter_;
    QPixmap down_;
    QPixmap disable_;
    QPixmap check_;
    bool autoSize_ = false;
    QString caption_;
    TImgControlLayout layout_ = iclImgTop;
    bool autoRepaintParent_ = false;
    int spacing_ = 2;
    int enterOffset_ = 1;
    int downOffset_ = 1;
    bool pressed_ = false;
    bool clickArmed_ = false;  // a single press that a release over the control turns into a click
    QPointer<TImgManager> manager_;
    QMetaObject::Connection managerConnection_;
    TVisualState state_ = vsNormal;
};

class TImgButton : public TImgControl {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QPixmap ImgNormal READ ImgNormal WRITE setImgNormal)
    Q_PROPERTY(QPixmap ImgEnter READ ImgEnter WRITE setImgEnter)
    Q_PROPERTY(QPixmap ImgDown READ ImgDown WRITE setImgDown)
    Q_PROPERTY(QPixmap ImgDisable READ ImgDisable WRITE setImgDisable)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(int OnEnterOffset READ OnEnterOffset WRITE setOnEnterOffset)
    Q_PROPERTY(int OnDownOffset READ OnDownOffset WRITE setOnDownOffset)
    Q_PROPERTY(velmora::TImgControl::TImgControlLayout ImgButtonLayout READ ImgButtonLayout WRITE setImgButtonLayout)
    Q_PROPERTY(bool AutoRepaintParent READ AutoRepaintParent WRITE setAutoRepaintParent)

public:
    using TImgControl::TImgControl;
};

using TImgControlLayout = TImgControl::TImgControlLayout;
using enum TImgControl::TImgControlLayout;

struct TImgPlacement {
    QPoint image;
    QPoint caption;
};

// Where the picture and the caption go in a control of `control` size: each
// centred on its own, then both together by `layout` with `spacing` (its low
// 16 bits, unsigned) between them when there is a caption, then moved up and
// left by `enterOffset` while hot or down and right by `downOffset` while down.
TImgPlacement PlaceImageAndCaption(QSize control, QSize image, QSize caption, bool hasCaption,
                                   TImgControlLayout layout, int spacing, TImgControl::TVisualState state,
                                   int enterOffset, int downOffset);

}  // namespace velmora
