#include "app/Form1Layout.h"

#include "app/ListField.h"
#include "behaviour/Form1Behaviour.h"
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
        if (const int room = behaviour::roomOf(c); room > 0)
            field->setMaxLength(room);
        field->setReadOnly(c.readOnly);
        return field;
    }
    case Kind::ListField: {
        QComboBox* list = makeListField(container);
        if (const int room = behaviour::roomOf(c); room > 0)
            list->lineEdit()->setMaxLength(room);
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

// Containers first, whatever their rows' order: a control whose container
// did not exist yet would become a window of its own.
Controls makeControls(QWidget* window) {
    Controls made;
    for (bool containers : {true, false}) {
        for (const Control& c : forms::kForm1.controls) {
            if ((c.kind == Kind::Frame) != containers)
                continue;
            const Control* frame = forms::findControl(forms::kForm1, c.container);
            QWidget* container = frame == nullptr ? window : made.value(frame);
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
            made.insert(&c, w);
        }
    }
    return made;
}

void orderAndName(const Controls& made) {
    QList<const Control*> tabOrder;
    for (const Control& c : forms::kForm1.controls) {
        QWidget* w = made.value(&c);
        // Windowed controls stand above labels that reach under them.
        if (c.kind != Kind::Label)
            w->raise();
        if (const Control* captioned = forms::findControl(forms::kForm1, c.captions)) {
            QWidget* field = made.value(captioned);
            static_cast<QLabel*>(w)->setBuddy(field);
            field->setAccessibleName(toQString(forms::spokenCaption(c.text)));
        }
        if (w->focusPolicy() != Qt::NoFocus)
            tabOrder << &c;
    }
    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(made.value(tabOrder[i - 1]), made.value(tabOrder[i]));
}

} // namespace

Controls buildForm1Controls(QWidget* window) {
    // Until loading gives the window its colour it has the button face's.
    window->setPalette(lightScheme(0xF0F0F0));
    window->setFont(designFont(forms::kForm1.font));
    const Controls made = makeControls(window);
    orderAndName(made);
    // At design time each input holds its own name; loading replaces it.
    for (QWidget* w : made) {
        if (auto* field = qobject_cast<QLineEdit*>(w))
            field->setText(field->objectName());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            list->setEditText(list->objectName());
    }
    return made;
}

} // namespace sheetmass
