#include "app/Form1.h"

#include "about/About.h"
#include "alloys/AlloyDensity.h"
#include "app/Form1Layout.h"
#include "app/KeyFilter.h"
#include "app/ListField.h"
#include "calc/Mass.h"
#include "forms/Form1.h"
#include "forms/Texts.h"
#include "look/Look.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <utility>

namespace sheetmass {
namespace {

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

constexpr std::chrono::milliseconds kSaveAfterPause{2000};

template <class Control> Control* control(const QWidget* window, std::string_view name) {
    return window->findChild<Control*>(toQString(name));
}

} // namespace

Форма1::Форма1(SavedInputs saved, QWidget* parent)
    : DesignedWindow(forms::kForm1, parent,
                     Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_saved(std::move(saved)) {
    buildForm1Controls(this);
    m_Комбо1 = control<QComboBox>(this, "Комбо1");
    m_Комбо2 = control<QComboBox>(this, "Комбо2");
    m_Комбо3 = control<QComboBox>(this, "Комбо3");
    m_Текст1 = control<QLineEdit>(this, "Текст1");
    m_Текст2 = control<QLineEdit>(this, "Текст2");
    m_Текст3 = control<QLineEdit>(this, "Текст3");
    m_Текст4 = control<QLineEdit>(this, "Текст4");
    m_Текст5 = control<QLineEdit>(this, "Текст5");
    m_Текст6 = control<QLineEdit>(this, "Текст6");
    m_Текст7 = control<QLineEdit>(this, "Текст7");
    m_resultHint = m_Текст7->toolTip();
    m_Комбо2->setFocus();
    wire();
    load();
}

Форма1::~Форма1() {
    // The lists report text changes while QWidget destroys them, when this
    // is no longer a Форма1 to calculate in.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void Форма1::wire() {
    auto* keys = new KeyFilter(this);
    for (const forms::Control& c : forms::kForm1.controls) {
        if (c.kind == forms::Kind::TextField) {
            auto* field = control<QLineEdit>(this, c.name);
            keys->admit(field, c);
            if (c.changeRecalculates)
                connect(field, &QLineEdit::textChanged, this, [this] { AA(); });
        } else if (c.kind == forms::Kind::ListField) {
            auto* list = control<QComboBox>(this, c.name);
            keys->admit(list, c);
            // The list hands keys on to its edit part, where the mouse pastes
            // and drops.
            keys->admit(list->lineEdit(), c);
            if (c.changeRecalculates)
                connect(list, &QComboBox::editTextChanged, this, [this] { AA(); });
            if (c.pickRecalculates)
                connect(list, &QComboBox::activated, this, [this] { AA(); });
        }
    }
    // Kept current for a save should Qt end the program with no close, and
    // saved once typing pauses: a crash, a SIGKILL or a power cut loses only
    // the last moments. A failure there waits for the close to be told.
    auto* pause = new QTimer(this);
    pause->setSingleShot(true);
    pause->setInterval(kSaveAfterPause);
    connect(pause, &QTimer::timeout, this, [this] { m_saved.saveRemembered(); });
    const auto keep = [this, pause] {
        m_saved.remember(inputs());
        pause->start();
    };
    for (QLineEdit* field : {m_Текст1, m_Текст2, m_Текст3, m_Текст4, m_Текст5, m_Текст6})
        connect(field, &QLineEdit::textChanged, this, keep);
    for (QComboBox* list : {m_Комбо1, m_Комбо2, m_Комбо3})
        connect(list, &QComboBox::editTextChanged, this, keep);
    connect(control<QPushButton>(this, "Комманда1"), &QPushButton::clicked, this,
            [this] { showAbout(this); });
    // The session's save request may yet be cancelled: it saves, and the
    // final close saves again. A quit that closes no window saves at the end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { unload(false); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!std::exchange(m_unloaded, true))
            unload(false);
    });
}

void Форма1::load() {
    QPalette scheme = palette();
    scheme.setColor(QPalette::Window, QColor::fromRgb(forms::kForm1.back));
    setPalette(scheme);
    setAutoFillBackground(true);
    for (const forms::Control& c : forms::kForm1.controls) {
        if (c.kind != forms::Kind::Frame)
            continue;
        auto* frame = control<QWidget>(this, c.name);
        scheme = frame->palette();
        scheme.setColor(QPalette::Window, QColor::fromRgb(c.back));
        frame->setPalette(scheme);
    }

    setInputs(m_saved.restore());
    AA();
}

void Форма1::setInputs(const Inputs& in) {
    // The order the fields are filled in matters only to the runs of AA it
    // starts; the final run decides what the result shows.
    m_Текст1->setText(toQString(in.thickness));
    m_Текст2->setText(toQString(in.upper));
    m_Текст3->setText(toQString(in.lower));
    m_Текст4->setText(toQString(in.length));
    m_Текст5->setText(toQString(in.width));
    m_Текст6->setText(toQString(in.count));
    showInList(m_Комбо1, toQString(in.alloy));
    showInList(m_Комбо2, toQString(in.mode));
    showInList(m_Комбо3, toQString(in.places));
}

Inputs Форма1::inputs() const {
    return {utf8(m_Комбо1->currentText()), utf8(m_Комбо2->currentText()),
            utf8(m_Текст1->text()),        utf8(m_Текст2->text()),
            utf8(m_Текст3->text()),        utf8(m_Текст4->text()),
            utf8(m_Текст5->text()),        utf8(m_Текст6->text()),
            utf8(m_Комбо3->currentText())};
}

void Форма1::AA() {
    const MassResult result = massResult(inputs(), Модуль1::AlloyDensity);
    m_Текст7->setText(toQString(result.mass));
    // What the mass was worked from, so that a slip (a deviation without its
    // sign, metres for millimetres) shows at once; without a mass, what keeps
    // it from being worked out.
    const QString worked = toQString(forms::resultTip(utf8(m_resultHint), result));
    m_Текст7->setToolTip(worked);
    m_Текст7->setAccessibleDescription(worked);
    // A long result shows its start, as a reader reads it.
    m_Текст7->setCursorPosition(0);
}

void Форма1::unload(bool userClosed) {
    QString whyNot;
    if (m_saved.save(inputs(), &whyNot))
        return;
    if (userClosed)
        QMessageBox::warning(this, windowTitle(), whyNot);
    else
        qWarning("%s", qUtf8Printable(whyNot));
}

void Форма1::closeEvent(QCloseEvent* event) {
    // Only the window system's close is the user's; quit() closes windows
    // too, and then nobody may be there to answer a box.
    if (!std::exchange(m_unloaded, true))
        unload(event->spontaneous());
    event->accept();
    closeAbout();
}

} // namespace sheetmass
