#include "app/Form1Layout.h"

#include "app/ListField.h"
#include "forms/Form1.h"
#include "forms/Texts.h"
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

using forms::Control;
using forms::Kind;

void setColour(QWidget* w, QPalette::ColorRole role, forms::Rgb rgb) {
    QPalette palette = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, role, QColor::fromRgb(rgb));
    w->setPalette(palette);
}

QWidget* make(const Control& c, QWidget* container) {
    switch (c.kind) {
    case Kind::Label: {
        auto* label = new QLabel(toQString(c.text), container);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::TextField: {
        auto* field = new QLineEdit(container);
        if (c.admits && c.admits->room > 0)
            field->setMaxLength(c.admits->room);
        field->setReadOnly(c.readOnly);
        return field;
    }
    case Kind::ListField: {
        QComboBox* list = makeListField(container);
        if (c.admits && c.admits->room > 0)
            list->lineEdit()->setMaxLength(c.admits->room);
        for (std::string_view entry : c.entries)
            list->addItem(toQString(entry));
        return list;
    }
    case Kind::Frame: {
        auto* frame = new QFrame(container);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setAutoFillBackground(true);
        // Designed so; with no caption it shows nowhere, and each child
        // keeps the window's font.
        frame->setFont(designFont(c.font));
        return frame;
    }
    case Kind::Button: {
        auto* button = new QPushButton(toQString(c.text), container);
        button->setAutoDefault(false);
        button->setDefault(false);
        // "?" says nothing to a screen reader; the hint names the button.
        button->setToolTip(toQString(c.hint));
        button->setAccessibleName(toQString(c.hint));
        button->setFont(designFont(c.font));
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

} // namespace

void buildForm1Controls(QWidget* window) {
    const forms::Window& design = forms::kForm1;
    // Until loading gives the window its colour it has the button face's.
    window->setPalette(lightScheme(0xF0F0F0));
    window->setFont(designFont(design.font));
    QHash<QString, QWidget*> byName;
    // Containers first, whatever their rows' order: a control whose container
    // did not exist yet would become a window of its own.
    for (bool containers : {true, false}) {
        for (const Control& c : design.controls) {
            if ((c.kind == Kind::Frame) != containers)
                continue;
            QWidget* container =
                c.container.empty() ? window : byName.value(toQString(c.container));
            Q_ASSERT(container);
            QWidget* w = make(c, container);
            w->setObjectName(toQString(c.name));
            w->setGeometry(twipsRect(c.place));
            if (c.kind != Kind::Frame && c.kind != Kind::Button)
                w->setFont(window->font());
            // A frame's back is the load's to set.
            if (c.kind == Kind::Button && c.back != forms::kSystemColour)
                setColour(w, QPalette::Button, c.back);
            if (c.textColour != forms::kSystemColour)
                setColour(w, c.kind == Kind::Label ? QPalette::WindowText : QPalette::Text,
                          c.textColour);
            if (!c.hint.empty() && c.kind != Kind::Button) {
                w->setToolTip(toQString(c.hint));
                w->setAccessibleDescription(toQString(c.hint));
            }
            byName.insert(w->objectName(), w);
        }
    }

    QList<const Control*> tabOrder;
    for (const Control& c : design.controls) {
        QWidget* w = byName.value(toQString(c.name));
        // Windowed controls stand above labels that reach under them.
        if (c.kind != Kind::Label)
            w->raise();
        if (!c.captions.empty()) {
            QWidget* field = byName.value(toQString(c.captions));
            static_cast<QLabel*>(w)->setBuddy(field);
            field->setAccessibleName(toQString(forms::spokenCaption(c.text)));
        }
        if (w->focusPolicy() != Qt::NoFocus)
            tabOrder << &c;
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(byName.value(toQString(tabOrder[i - 1]->name)),
                             byName.value(toQString(tabOrder[i]->name)));

    // At design time each input holds its own name; loading replaces it.
    for (const Control& c : design.controls) {
        QWidget* w = byName.value(toQString(c.name));
        if (auto* field = qobject_cast<QLineEdit*>(w))
            field->setText(field->objectName());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            list->setEditText(list->objectName());
    }
}

} // namespace sheetmass
