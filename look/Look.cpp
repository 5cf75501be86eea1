#include "look/Look.h"

#include "behaviour/Form1Behaviour.h"

#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QImageReader>
#include <QWidget>

namespace sheetmass {

namespace {

QString latin1(std::string_view name) {
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

} // namespace

DesignedWindow::DesignedWindow(const forms::Window& design, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags) {
    setObjectName(toQString(design.name));
    setWindowTitle(toQString(design.title));
    setWindowIcon(programIcon());
    setFixedSize(twipsToPixels(design.width), twipsToPixels(design.height));
}

QFont designFont(const forms::Font& design) {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        return latin1(behaviour::faceFor(
            [&](std::string_view face) { return installed.contains(latin1(face)); }));
    }();
    QFont font(family);
    font.setPointSizeF(design.points);
    font.setBold(design.bold);
    font.setUnderline(design.underline);
    return font;
}

QPixmap resourcePicture(const QString& path, const char* format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon programIcon() {
    return QIcon(resourcePicture(QStringLiteral(":/sheetmass.png"), "png"));
}

QPalette lightScheme(QRgb window) {
    const QColor face(0xF0, 0xF0, 0xF0);
    QPalette scheme(face, QColor::fromRgb(window));
    const struct {
        QPalette::ColorRole role;
        QColor active, disabled;
    } roles[] = {
        {QPalette::WindowText, Qt::black, Qt::gray},
        {QPalette::Text, Qt::black, Qt::gray},
        {QPalette::ButtonText, Qt::black, Qt::gray},
        {QPalette::Base, Qt::white, face},
        {QPalette::AlternateBase, QColor(0xF7, 0xF7, 0xF7), face},
        {QPalette::Highlight, QColor(0x30, 0x8C, 0xC6), QColor(0x91, 0x91, 0x91)},
        {QPalette::HighlightedText, Qt::white, Qt::white},
        {QPalette::PlaceholderText, Qt::gray, Qt::gray},
        {QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC), QColor(0xFF, 0xFF, 0xDC)},
        {QPalette::ToolTipText, Qt::black, Qt::black},
        {QPalette::Link, QColor(0x00, 0x00, 0xFF), QColor(0x00, 0x00, 0xFF)},
        {QPalette::BrightText, Qt::white, Qt::white},
    };
    for (const auto& r : roles) {
        scheme.setColor(QPalette::Active, r.role, r.active);
        scheme.setColor(QPalette::Inactive, r.role, r.active);
        scheme.setColor(QPalette::Disabled, r.role, r.disabled);
    }
    return scheme;
}

void describeWindowsToScreenReaders() {
    QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
        auto* window = qobject_cast<DesignedWindow*>(object);
        if (window == nullptr || window->windowType() != Qt::Window)
            return nullptr;
        return new QAccessibleWidget(window, QAccessible::Window);
    });
}

} // namespace sheetmass
