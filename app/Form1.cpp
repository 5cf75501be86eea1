#include "app/Form1.h"

#include "about/About.h"
#include "app/FileDrop.h"
#include "app/KeyFilter.h"
#include "app/ListField.h"
#include "forms/Form1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace sheetmass {
namespace {

using behaviour::CloseReason;

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

} // namespace

Форма1::Форма1(SavedInputs saved, QWidget* parent)
    : DesignedWindow(forms::kForm1, parent,
                     Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_saved(std::move(saved)), m_behaviour(m_saved.places()),
      m_controls(buildForm1Controls(this)) {
    wire();
    load();
    // Files; text dropped on a field is the field's.
    setAcceptDrops(true);
}

Форма1::~Форма1() {
    // The lists report text changes while QWidget destroys them, when this
    // is no longer a Форма1 to answer them.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void Форма1::wire() {
    auto* keys = new KeyFilter(
        m_behaviour, [this](const behaviour::Answer& a) { apply(a); }, this);
    for (const forms::Control& c : forms::kForm1.controls) {
        const forms::Control* design = &c;
        QWidget* w = m_controls.value(design);
        if (auto* field = qobject_cast<QLineEdit*>(w)) {
            keys->admit(field, c);
            connect(field, &QLineEdit::textChanged, this, [this, design](const QString& text) {
                apply(m_behaviour.changed(*design, utf8(text)));
            });
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            keys->admit(list, c);
            connect(list, &QComboBox::editTextChanged, this, [this, design](const QString& text) {
                apply(m_behaviour.changed(*design, utf8(text)));
            });
            connect(list, &QComboBox::activated, this, [this, design](int entry) {
                apply(m_behaviour.pick(*design, std::size_t(entry)));
            });
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            connect(button, &QPushButton::clicked, this,
                    [this, design] { apply(m_behaviour.clicked(*design)); });
        }
    }
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(behaviour::kSaveAfterPause);
    connect(m_pause, &QTimer::timeout, this, [this] { apply(m_behaviour.pauseEnded()); });
    // A quit that closes no window saves at the end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { end(CloseReason::Session); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { end(CloseReason::Quit); });
}

void Форма1::load() {
    QPalette scheme = palette();
    scheme.setColor(QPalette::Window, QColor::fromRgb(forms::kForm1.back));
    setPalette(scheme);
    setAutoFillBackground(true);
    for (const forms::Control& c : forms::kForm1.controls) {
        if (c.kind != forms::Kind::Frame)
            continue;
        QWidget* frame = m_controls.value(&c);
        scheme = frame->palette();
        scheme.setColor(QPalette::Window, QColor::fromRgb(c.back));
        frame->setPalette(scheme);
    }
    apply(m_behaviour.start());
}

void Форма1::apply(const behaviour::Answer& a) {
    for (const auto& [control, text] : a.shows) {
        QWidget* w = m_controls.value(control);
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            showInList(list, toQString(text));
        } else if (auto* field = qobject_cast<QLineEdit*>(w)) {
            field->setText(toQString(text));
            // A long text shows its start, as a reader reads it.
            field->setCursorPosition(0);
        }
    }
    if (a.resultTip) {
        for (const forms::Control& c : forms::kForm1.controls)
            if (c.readOnly) {
                m_controls.value(&c)->setToolTip(toQString(*a.resultTip));
                m_controls.value(&c)->setAccessibleDescription(toQString(*a.resultTip));
            }
    }
    if (a.focus != nullptr)
        m_controls.value(a.focus)->setFocus();
    if (a.showAbout)
        showAbout(this);
    if (a.save == behaviour::Save::AfterPause)
        m_pause->start();
    if (a.unsaved && !a.unsaved->inBox)
        qWarning("%s", a.unsaved->why.c_str());
    if (a.fileBox)
        showFileBox(this, *a.fileBox);
}

void Форма1::giveFile(const std::string& path) {
    apply(m_behaviour.fileGiven(path));
}

void Форма1::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void Форма1::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Форма1::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    // The box after the drop has ended: the program it came from waits
    // until then.
    QTimer::singleShot(0, this,
                       [this, path = QFile::encodeName(file).toStdString()] { giveFile(path); });
}

bool Форма1::end(CloseReason why) {
    m_pause->stop();
    const behaviour::Answer a = m_behaviour.close(why);
    apply(a);
    if (!a.unsaved || !a.unsaved->inBox ||
        QMessageBox::warning(this, windowTitle(), toQString(a.unsaved->why),
                             QMessageBox::Ok | QMessageBox::Cancel,
                             QMessageBox::Ok) != QMessageBox::Cancel)
        return true;
    m_behaviour.stayed();
    return false;
}

void Форма1::closeEvent(QCloseEvent* event) {
    // Only the window system's close is the user's; quit() closes windows
    // too, and then nobody may be there to answer a box.
    if (!end(event->spontaneous() ? CloseReason::User : CloseReason::Quit)) {
        event->ignore();
        return;
    }
    event->accept();
    closeAbout();
}

} // namespace sheetmass
