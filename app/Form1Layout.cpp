#include "app/Form1Layout.h"

#include "alloys/AlloyTable.h"
#include "app/ListField.h"
#include "calc/Inputs.h"
#include "fields/FieldRule.h"
#include "look/Look.h"

#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

namespace sheetmass {
namespace {

constexpr double kFontPoints = 9.75;
constexpr double kButtonFontPoints = 12;
constexpr double kFrameFontPoints = 8.25;
constexpr const char* kButtonTooltip = "О программе";

} // namespace

// clang-format off
const std::array<ControlSpec, 22> kForm1Controls = {{
    {"Метка9",    Kind::Label,     nullptr,  120,  165,  3735, 255,  19, "Считать массу по:", kNoColour, kNoColour, nullptr, 0, "Комбо2"},
    {"Комманда1", Kind::Button,    nullptr,  3360, 60,   495,  360,  21, "?", kNoColour, 0xC0FFC0},
    {"Комбо2",    Kind::ListField, nullptr,  120,  480,  3735, 360,  0,  nullptr, kNoColour, kNoColour, kModeField.admitted, kModeField.room, nullptr, "Как считать толщину: выберите из списка"},
    {"Рамка1",    Kind::Frame,     nullptr,  120,  960,  3735, 3615, 9,  nullptr},
    {"Метка1",    Kind::Label,     "Рамка1", 120,  280,  1095, 375,  10, "Сплав . . .", kNoColour, kNoColour, nullptr, 0, "Комбо1"},
    {"Комбо1",    Kind::ListField, "Рамка1", 1200, 240,  2415, 360,  1,  nullptr, kNoColour, kNoColour, kAlloyField.admitted, kAlloyField.room, nullptr, "Марка сплава из списка или плотность в г/см³, например 2,7"},
    {"Метка2",    Kind::Label,     "Рамка1", 120,  840,  2415, 255,  11, "Толщина листа . . . . . ", 0x000080, kNoColour, nullptr, 0, "Текст1"},
    {"Текст1",    Kind::TextField, "Рамка1", 2520, 720,  1095, 375,  2,  nullptr, 0x0000C0, kNoColour, kSizeField.admitted, kSizeField.room, nullptr, "Толщина листа в мм, например 2,5"},
    {"Метка3",    Kind::Label,     "Рамка1", 120,  1240, 2535, 255,  12, "Верхнее отклонение", 0x000080, kNoColour, nullptr, 0, "Текст2"},
    {"Текст2",    Kind::TextField, "Рамка1", 2520, 1200, 1095, 375,  3,  nullptr, 0x0000C0, kNoColour, kDeviationField.admitted, kDeviationField.room, nullptr, "Верхнее отклонение толщины в мм, например 0,2"},
    {"Метка4",    Kind::Label,     "Рамка1", 120,  1720, 2295, 255,  13, "Нижнее отклонение", 0x000080, kNoColour, nullptr, 0, "Текст3"},
    {"Текст3",    Kind::TextField, "Рамка1", 2520, 1680, 1095, 375,  4,  nullptr, 0x0000C0, kNoColour, kDeviationField.admitted, kDeviationField.room, nullptr, "Нижнее отклонение толщины в мм, со знаком минус, например -0,2"},
    {"Метка5",    Kind::Label,     "Рамка1", 120,  2280, 2415, 255,  14, "Длина листа . . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст4"},
    {"Текст4",    Kind::TextField, "Рамка1", 2520, 2160, 1095, 360,  5,  nullptr, kNoColour, kNoColour, kSizeField.admitted, kSizeField.room, nullptr, "Длина листа в мм, например 2000"},
    {"Метка6",    Kind::Label,     "Рамка1", 120,  2685, 2415, 255,  15, "Ширина листа . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст5"},
    {"Текст5",    Kind::TextField, "Рамка1", 2520, 2640, 1095, 360,  6,  nullptr, kNoColour, kNoColour, kSizeField.admitted, kSizeField.room, nullptr, "Ширина листа в мм, например 1000"},
    {"Метка7",    Kind::Label,     "Рамка1", 120,  3165, 2415, 255,  16, "Количество . . . . . . . . ", kNoColour, kNoColour, nullptr, 0, "Текст6"},
    {"Текст6",    Kind::TextField, "Рамка1", 2520, 3120, 1095, 360,  7,  nullptr, kNoColour, kNoColour, kCountField.admitted, kCountField.room, nullptr, "Количество листов, штук"},
    {"Метка11",   Kind::Label,     nullptr,  120,  4725, 3015, 255,  20, "Знаков после запятой", 0x000000, kNoColour, nullptr, 0, "Комбо3"},
    {"Комбо3",    Kind::ListField, nullptr,  3000, 4680, 855,  360,  8,  nullptr, kNoColour, kNoColour, nullptr, 0, nullptr, "Знаков после запятой в массе: от 0 до 15"},
    {"Метка8",    Kind::Label,     nullptr,  360,  5205, 1215, 255,  17, "Масса, кг", kNoColour, kNoColour, nullptr, 0, "Текст7"},
    {"Текст7",    Kind::TextField, nullptr,  1680, 5160, 2175, 375,  18, nullptr, kNoColour, kNoColour, kResultField.admitted, kResultField.room, nullptr, "Масса всех листов в кг, результат расчёта"},
}};
// clang-format on

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void setColour(QWidget* w, QPalette::ColorRole role, QRgb rgb) {
    QPalette palette = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, role, QColor::fromRgb(rgb));
    w->setPalette(palette);
}

// A caption as a screen reader should say it: without its dot leaders.
QString withoutLeaders(QString caption) {
    while (caption.endsWith(u' ') || caption.endsWith(u'.'))
        caption.chop(1);
    return caption;
}

QWidget* make(const ControlSpec& c, QWidget* container) {
    switch (c.kind) {
    case Kind::Label: {
        auto* label = new QLabel(text(c.text), container);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::TextField: {
        auto* field = new QLineEdit(container);
        if (c.maxLength > 0)
            field->setMaxLength(c.maxLength);
        return field;
    }
    case Kind::ListField: {
        QComboBox* list = makeListField(container);
        if (c.maxLength > 0)
            list->lineEdit()->setMaxLength(c.maxLength);
        return list;
    }
    case Kind::Frame: {
        auto* frame = new QFrame(container);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setAutoFillBackground(true);
        // Designed so; with no caption it shows nowhere, and each child
        // keeps the window's font.
        frame->setFont(designFont(kFrameFontPoints, false));
        return frame;
    }
    case Kind::Button: {
        auto* button = new QPushButton(text(c.text), container);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setToolTip(text(kButtonTooltip));
        button->setAccessibleName(text(kButtonTooltip));
        button->setFont(designFont(kButtonFontPoints, true));
        // Qt's own style shades the face into a gradient; this one paints it
        // in its colour.
        QStyle* solid = QStyleFactory::create(QStringLiteral("Windows"));
        solid->setParent(button);
        button->setStyle(solid);
        return button;
    }
    }
    return nullptr;
}

void fillLists(QWidget* window) {
    QStringList grades;
    for (const Alloy& alloy : kAlloys)
        grades << QString::fromUtf8(alloy.grade.data(), qsizetype(alloy.grade.size()));
    QStringList places;
    for (int d = 0; d <= 15; ++d)
        places << QString::number(d);
    const std::pair<const char*, QStringList> lists[] = {
        {"Комбо1", grades},
        {"Комбо2", {text(kModeNominal), text(kModeUpper), text(kModeLower)}},
        {"Комбо3", places},
    };
    for (const auto& [name, entries] : lists)
        window->findChild<QComboBox*>(text(name))->addItems(entries);
}

} // namespace

void buildForm1Controls(QWidget* window) {
    // Until loading gives the window its colour it has the button face's.
    window->setPalette(lightScheme(0xF0F0F0));
    window->setFont(designFont(kFontPoints, true));
    QHash<QString, QWidget*> byName;
    // Containers first, whatever their rows' order: a control whose container
    // did not exist yet would become a window of its own.
    for (bool containers : {true, false}) {
        for (const ControlSpec& c : kForm1Controls) {
            if ((c.kind == Kind::Frame) != containers)
                continue;
            QWidget* container = c.container ? byName.value(text(c.container)) : window;
            Q_ASSERT(container);
            QWidget* w = make(c, container);
            w->setObjectName(text(c.name));
            w->setGeometry(twipsRect(c.left, c.top, c.width, c.height));
            if (c.kind != Kind::Frame && c.kind != Kind::Button)
                w->setFont(window->font());
            if (c.faceColour != kNoColour)
                setColour(w, QPalette::Button, c.faceColour);
            if (c.textColour != kNoColour)
                setColour(w, c.kind == Kind::Label ? QPalette::WindowText : QPalette::Text,
                          c.textColour);
            if (c.hint) {
                w->setToolTip(text(c.hint));
                w->setAccessibleDescription(text(c.hint));
            }
            byName.insert(w->objectName(), w);
        }
    }

    QList<const ControlSpec*> tabOrder;
    for (const ControlSpec& c : kForm1Controls) {
        QWidget* w = byName.value(text(c.name));
        // Windowed controls stand above labels that reach under them.
        if (c.kind != Kind::Label)
            w->raise();
        if (c.caption) {
            QWidget* field = byName.value(text(c.caption));
            static_cast<QLabel*>(w)->setBuddy(field);
            field->setAccessibleName(withoutLeaders(text(c.text)));
        }
        if (w->focusPolicy() != Qt::NoFocus)
            tabOrder << &c;
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(byName.value(text(tabOrder[i - 1]->name)),
                             byName.value(text(tabOrder[i]->name)));

    fillLists(window);
    // At design time each input holds its own name; loading replaces it.
    for (const ControlSpec& c : kForm1Controls) {
        QWidget* w = byName.value(text(c.name));
        if (auto* field = qobject_cast<QLineEdit*>(w))
            field->setText(field->objectName());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            list->setEditText(list->objectName());
    }
}

} // namespace sheetmass
