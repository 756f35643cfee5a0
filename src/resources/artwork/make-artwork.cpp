// Draws the window's artwork in the page's palette and writes it as PNG files
// with a resource list (artwork.qrc) for the resource compiler:
//   header.png              8 x 39, the header strip, stretched from its first column
//   btnBegin-<state>.png    86 x 24, the start button ("开始推算")
//   btnWEB-<state>.png      56 x 24, the web button ("官方网站")
//   btnBegin-traditional-<state>.png, btnWEB-traditional-<state>.png
//                           the same in traditional characters ("開始推算",
//                           "官方網站"), which all three traditional scripts write
//   zodiac-NN.png           50 x 50, the twelve animals as seals, 鼠 (00) to 猪 (11)
//   imgShengXiao.png        49 x 48, the summary strip's picture before a first reading
// with <state> one of normal, enter, down, disable, and the program's icon for
// the desktop's menus, a seal with 骨, in the folder icons/:
//   icon-<size>.png         size x size for the sizes of IconSizes
//   icon.svg                the same drawing, scalable
//
//   make-artwork OUTPUT-DIRECTORY
//
// The same fonts give the same pictures on every run.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <array>
#include <cstdio>

namespace {

// The page's palette.
const QColor PageBackground(0xff, 0xfa, 0xf6);
const QColor Accent(0xe5, 0x94, 0x53);
const QColor Strong(0xdb, 0x62, 0x00);
// The summary strip's fill, behind the zodiac picture.
const QColor StripFill(0xff, 0xea, 0xd8);

const QStringList CjkFamilies{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("Noto Sans SC"), QStringLiteral("Droid Sans Fallback")};

QString CjkFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : CjkFamilies) {
        if (installed.contains(family)) {
            return family;
        }
    }
    return {};
}

QFont CjkFont(int pixelSize, int weight = QFont::Normal) {
    QFont font(CjkFamily());
    font.setPixelSize(pixelSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

// ---------------------------------------------------------------------------
// The header strip: a warm gradient with a highlight on top and the accent
// line at the bottom. Every column is the same, so stretching the first one
// joins the picture without a seam.

constexpr int HeaderHeight = 39;
constexpr int HeaderWidth = 8;

QColor HeaderColorAt(int row) {
    if (row == 0) {
        return Qt::white;
    }
    if (row == HeaderHeight - 1) {
        return Accent;
    }
    if (row == HeaderHeight - 2) {
        return Mix(QColor(0xfb, 0xdc, 0xc0), Accent, 0.25);
    }
    const double t = static_cast<double>(row - 1) / (HeaderHeight - 3);
    return Mix(PageBackground, QColor(0xfb, 0xdf, 0xc4), t);
}

QImage Header() {
    QImage image(HeaderWidth, HeaderHeight, QImage::Format_RGB888);
    for (int y = 0; y < HeaderHeight; ++y) {
        for (int x = 0; x < HeaderWidth; ++x) {
            image.setPixelColor(x, y, HeaderColorAt(y));
        }
    }
    return image;
}

// ---------------------------------------------------------------------------
// Buttons: drawn over the header's rows behind them (they sit 9 pixels down
// on the strip), so the 24-bit pictures need no transparency.

constexpr int ButtonTop = 9;
constexpr int ButtonHeight = 24;

struct ButtonLook {
    QColor top;      // face gradient
    QColor bottom;
    QColor border;
    QColor text;
    QColor glow;     // the inner highlight line along the top, or none
    QColor shadow;   // the text's shadow, or none
    int textShift;   // pixels the caption sinks while pressed
};

void DrawButton(QImage& image, const QString& caption, const ButtonLook& look) {
    const int w = image.width();
    for (int y = 0; y < ButtonHeight; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixelColor(x, y, HeaderColorAt(ButtonTop + y));
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face(0.5, 0.5, w - 1.0, ButtonHeight - 1.0);
    QPainterPath outline;
    outline.addRoundedRect(face, 4, 4);
    QLinearGradient fill(0, 0, 0, ButtonHeight);
    fill.setColorAt(0, look.top);
    fill.setColorAt(1, look.bottom);
    painter.fillPath(outline, fill);
    if (look.glow.isValid()) {
        painter.setPen(QPen(look.glow, 1));
        painter.drawLine(QPointF(4, 1.5), QPointF(w - 4, 1.5));
    }
    painter.setPen(QPen(look.border, 1));
    painter.drawPath(outline);

    painter.setFont(CjkFont(12));
    const QRect textRect(0, look.textShift, w, ButtonHeight);
    if (look.shadow.isValid()) {
        painter.setPen(look.shadow);
        painter.drawText(textRect.translated(0, 1), Qt::AlignCenter, caption);
    }
    painter.setPen(look.text);
    painter.drawText(textRect, Qt::AlignCenter, caption);
}

const std::array<const char*, 4> StateNames{"normal", "enter", "down", "disable"};

// The start button is the strong, filled one.
const std::array<ButtonLook, 4> PrimaryLooks{{
    {QColor(0xee, 0xa3, 0x66), QColor(0xdb, 0x62, 0x00), QColor(0xbf, 0x55, 0x00), Qt::white,
     QColor(255, 255, 255, 110), QColor(0x9c, 0x45, 0x00, 120), 0},
    {QColor(0xf6, 0xb8, 0x80), QColor(0xe8, 0x74, 0x12), QColor(0xc8, 0x5c, 0x00), Qt::white,
     QColor(255, 255, 255, 160), QColor(0x9c, 0x45, 0x00, 110), 0},
    {QColor(0xc4, 0x56, 0x00), QColor(0xdc, 0x72, 0x24), QColor(0xa8, 0x4a, 0x00), QColor(0xff, 0xf1, 0xe4),
     QColor(0x8a, 0x3c, 0x00, 90), QColor(), 1},
    {QColor(0xf1, 0xe8, 0xe0), QColor(0xe3, 0xd7, 0xcc), QColor(0xcd, 0xbf, 0xb2), QColor(0xa8, 0x99, 0x8b),
     QColor(255, 255, 255, 120), QColor(), 0},
}};

// The web button is the quiet, outlined one.
const std::array<ButtonLook, 4> SecondaryLooks{{
    {QColor(0xff, 0xfc, 0xf9), QColor(0xfb, 0xe8, 0xd6), Accent, Strong, QColor(255, 255, 255, 200), QColor(), 0},
    {Qt::white, QColor(0xfd, 0xdc, 0xbf), Strong, QColor(0xc2, 0x56, 0x00), QColor(255, 255, 255, 230), QColor(), 0},
    {QColor(0xf4, 0xcd, 0xab), QColor(0xfa, 0xe2, 0xcc), QColor(0xc2, 0x56, 0x00), QColor(0xa8, 0x4a, 0x00),
     QColor(0xc2, 0x56, 0x00, 60), QColor(), 1},
    PrimaryLooks[3],
}};

// ---------------------------------------------------------------------------
// Zodiac seals: the animal's character cut white into a vermilion seal with
// a thin inner frame, as a seal is pressed on paper.

const std::array<const char16_t*, 12> Animals{u"鼠", u"牛", u"虎", u"兔", u"龙", u"蛇",
                                               u"马", u"羊", u"猴", u"鸡", u"狗", u"猪"};

// A fixed pseudo-random sequence for the seal's worn flecks.
class Flecks {
public:
    explicit Flecks(unsigned seed) : state_(seed * 2654435761u + 1) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }

private:
    unsigned state_;
};

void DrawSeal(QPainter& painter, const QRectF& box, int animal) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath seal;
    seal.addRoundedRect(box, 7, 7);
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, QColor(0xe8, 0x7a, 0x2e));
    fill.setColorAt(1, QColor(0xc9, 0x4f, 0x00));
    painter.fillPath(seal, fill);

    const QColor paper(PageBackground.red(), PageBackground.green(), PageBackground.blue(), 235);
    painter.setPen(QPen(paper, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box.adjusted(3.2, 3.2, -3.2, -3.2), 4.5, 4.5);

    painter.setPen(paper);
    painter.setFont(CjkFont(qRound(box.height() * 0.6), QFont::Bold));
    painter.drawText(box.adjusted(0, -1, 0, -1), Qt::AlignCenter, QString::fromUtf16(Animals[animal]));

    // A few worn flecks, as stone leaves them in the ink.
    Flecks flecks(static_cast<unsigned>(animal) + 1);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const QPointF at(box.left() + 2 + flecks.Next() * (box.width() - 4),
                         box.top() + 2 + flecks.Next() * (box.height() - 4));
        const double radius = 0.35 + flecks.Next() * 0.45;
        painter.setBrush(QColor(0xf5, 0xc6, 0x9c, 70 + static_cast<int>(flecks.Next() * 60)));
        painter.drawEllipse(at, radius, radius);
    }
}

QImage ZodiacSeal(int animal) {
    QImage image(50, 50, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawSeal(painter, QRectF(2, 2, 46, 46), animal);
    return image;
}

// Before the first reading the strip shows the ox of its design captions.
QImage DesignZodiacPicture() {
    constexpr int Ox = 1;
    QImage image(49, 48, QImage::Format_RGB888);
    image.fill(StripFill);
    QPainter painter(&image);
    DrawSeal(painter, QRectF(2.5, 2, 44, 44), Ox);
    return image;
}

// ---------------------------------------------------------------------------
// The program's icon: one drawing on a 256-unit square, painted into each
// PNG size and written out as SVG from the very same shapes.

constexpr int IconUnits = 256;
constexpr std::array IconSizes{16, 22, 24, 32, 48, 64, 128, 256};
// Below this size the inner frame would only blur the character.
constexpr int SmallestFramedIcon = 32;

struct IconDrawing {
    QRectF seal{12, 12, 232, 232};
    double sealRadius = 40;
    QColor sealTop{0xe8, 0x7a, 0x2e};
    QColor sealBottom{0xc9, 0x4f, 0x00};
    QRectF frame{32, 32, 192, 192};
    double frameRadius = 24;
    double frameWidth = 7;
    QColor paper = PageBackground;
    QPainterPath glyph;  // 骨, centred on the seal
};

IconDrawing DrawIcon() {
    IconDrawing icon;
    QPainterPath glyph;
    glyph.addText(0, 0, CjkFont(150, QFont::Bold), QStringLiteral("骨"));
    const QPointF offset = icon.seal.center() - glyph.boundingRect().center();
    icon.glyph = glyph.translated(offset);
    return icon;
}

QImage IconImage(const IconDrawing& icon, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<double>(size) / IconUnits, static_cast<double>(size) / IconUnits);
    QLinearGradient fill(icon.seal.topLeft(), icon.seal.bottomRight());
    fill.setColorAt(0, icon.sealTop);
    fill.setColorAt(1, icon.sealBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(icon.seal, icon.sealRadius, icon.sealRadius);
    if (size >= SmallestFramedIcon) {
        painter.setPen(QPen(icon.paper, icon.frameWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(icon.frame, icon.frameRadius, icon.frameRadius);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(icon.paper);
    painter.drawPath(icon.glyph);
    return image;
}

// A painter path as SVG path data.
QString SvgPathData(const QPainterPath& path) {
    QString data;
    const auto number = [](double value) { return QString::number(value, 'f', 2); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            data += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
        } else if (e.isLineTo()) {
            data += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                        .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x), number(end.y));
            i += 2;
        }
    }
    return data + QLatin1Char('Z');
}

QString IconSvg(const IconDrawing& icon) {
    const auto number = [](double value) { return QString::number(value, 'f', 2); };
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << IconUnits << "\" height=\"" << IconUnits
        << "\" viewBox=\"0 0 " << IconUnits << ' ' << IconUnits << "\">\n"
        << "  <defs><linearGradient id=\"seal\" gradientUnits=\"userSpaceOnUse\" x1=\"" << number(icon.seal.left())
        << "\" y1=\"" << number(icon.seal.top()) << "\" x2=\"" << number(icon.seal.right()) << "\" y2=\""
        << number(icon.seal.bottom()) << "\"><stop offset=\"0\" stop-color=\"" << icon.sealTop.name()
        << "\"/><stop offset=\"1\" stop-color=\"" << icon.sealBottom.name() << "\"/></linearGradient></defs>\n"
        << "  <rect x=\"" << number(icon.seal.x()) << "\" y=\"" << number(icon.seal.y()) << "\" width=\""
        << number(icon.seal.width()) << "\" height=\"" << number(icon.seal.height()) << "\" rx=\""
        << number(icon.sealRadius) << "\" fill=\"url(#seal)\"/>\n"
        << "  <rect x=\"" << number(icon.frame.x()) << "\" y=\"" << number(icon.frame.y()) << "\" width=\""
        << number(icon.frame.width()) << "\" height=\"" << number(icon.frame.height()) << "\" rx=\""
        << number(icon.frameRadius) << "\" fill=\"none\" stroke=\"" << icon.paper.name() << "\" stroke-width=\""
        << number(icon.frameWidth) << "\"/>\n"
        << "  <path fill=\"" << icon.paper.name() << "\" fill-rule=\""
        << (icon.glyph.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero") << "\" d=\""
        << SvgPathData(icon.glyph) << "\"/>\n"
        << "</svg>\n";
    return svg;
}

bool WriteIcons(const QString& directory) {
    const QDir icons(QDir(directory).filePath(QStringLiteral("icons")));
    if (!QDir().mkpath(icons.path())) {
        std::fprintf(stderr, "make-artwork: cannot create %s\n", qPrintable(icons.path()));
        return false;
    }
    const IconDrawing icon = DrawIcon();
    for (const int size : IconSizes) {
        const QString file = icons.filePath(QStringLiteral("icon-%1.png").arg(size));
        if (!IconImage(icon, size).save(file, "PNG")) {
            std::fprintf(stderr, "make-artwork: cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    QFile svg(icons.filePath(QStringLiteral("icon.svg")));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(IconSvg(icon).toUtf8()) < 0) {
        std::fprintf(stderr, "make-artwork: cannot write %s\n", qPrintable(svg.fileName()));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------

class ArtworkWriter {
public:
    explicit ArtworkWriter(const QString& directory) : directory_(directory) {}

    bool Write(const QString& name, const QImage& image) {
        if (!image.save(directory_.filePath(name), "PNG")) {
            std::fprintf(stderr, "make-artwork: cannot write %s\n", qPrintable(directory_.filePath(name)));
            return false;
        }
        names_ << name;
        return true;
    }

    bool WriteResourceList() const {
        QFile file(directory_.filePath(QStringLiteral("artwork.qrc")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            std::fprintf(stderr, "make-artwork: cannot write the resource list\n");
            return false;
        }
        QTextStream out(&file);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/artwork\">\n";
        for (const QString& name : names_) {
            out << "  <file>" << name << "</file>\n";
        }
        out << "</qresource>\n</RCC>\n";
        return true;
    }

private:
    QDir directory_;
    QStringList names_;
};

bool WriteButtonSet(ArtworkWriter& writer, const QString& name, int width, const QString& caption,
                    const std::array<ButtonLook, 4>& looks) {
    for (std::size_t state = 0; state < looks.size(); ++state) {
        QImage image(width, ButtonHeight, QImage::Format_RGB888);
        DrawButton(image, caption, looks[state]);
        if (!writer.Write(QStringLiteral("%1-%2.png").arg(name, QLatin1String(StateNames[state])), image)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // No display is needed to draw into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-artwork OUTPUT-DIRECTORY\n");
        return 2;
    }
    if (CjkFamily().isEmpty()) {
        std::fprintf(stderr, "make-artwork: no Chinese font found; install fonts-wqy-microhei\n");
        return 1;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(directory)) {
        std::fprintf(stderr, "make-artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    ArtworkWriter writer(directory);
    bool ok = writer.Write(QStringLiteral("header.png"), Header());
    ok = ok && WriteButtonSet(writer, QStringLiteral("btnBegin"), 86, QStringLiteral("开始推算"), PrimaryLooks);
    ok = ok && WriteButtonSet(writer, QStringLiteral("btnWEB"), 56, QStringLiteral("官方网站"), SecondaryLooks);
    ok = ok && WriteButtonSet(writer, QStringLiteral("btnBegin-traditional"), 86, QStringLiteral("開始推算"),
                              PrimaryLooks);
    ok = ok && WriteButtonSet(writer, QStringLiteral("btnWEB-traditional"), 56, QStringLiteral("官方網站"),
                              SecondaryLooks);
    for (int animal = 0; ok && animal < 12; ++animal) {
        ok = writer.Write(QStringLiteral("zodiac-%1.png").arg(animal, 2, 10, QLatin1Char('0')), ZodiacSeal(animal));
    }
    ok = ok && writer.Write(QStringLiteral("imgShengXiao.png"), DesignZodiacPicture());
    ok = ok && writer.WriteResourceList();
    ok = ok && WriteIcons(directory);
    return ok ? 0 : 1;
}
