#include "app/Form1.h"

#include "about/About.h"
#include "alloys/AlloyDensity.h"
#include "alloys/AlloyTable.h"
#include "app/Form1Layout.h"
#include "app/KeyFilter.h"
#include "calc/Mass.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}
QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}
QColor colour(std::uint32_t rgb) {
    return QColor::fromRgb(rgb);
}

void setColour(QWidget* w, QPalette::ColorRole role, std::uint32_t rgb) {
    QPalette palette = w->palette();
    palette.setColor(role, colour(rgb));
    w->setPalette(palette);
}

QComboBox* makeList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setDuplicatesEnabled(true);
    // Completion would put text into the field that no key typed.
    list->setCompleter(nullptr);
    return list;
}

// Puts text into a list field, with its entry current when it is one, so
// the arrow keys step on from there (or from the top when it is none).
void setListText(QComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    list->setEditText(text);
}

} // namespace

Форма1::Форма1(sheetmass::SavedInputs saved, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_saved(std::move(saved)) {
    build();
    wire();
    load();
    // The session's save request may yet be cancelled: it saves, and the
    // final close saves again. A quit that closes no window saves at the end.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { saveInputs(false); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!std::exchange(m_unloaded, true))
            saveInputs(false);
    });
}

Форма1::~Форма1() {
    // The lists report text changes while QWidget destroys them, when this
    // is no longer a Форма1 to calculate in.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

void Форма1::build() {
    setObjectName(QStringLiteral("Форма1"));
    setWindowTitle(text(form1::kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/sheetmass.png")));
    setFixedSize(form1::twipsToPixels(form1::kClientWidth),
                 form1::twipsToPixels(form1::kClientHeight));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(form1::kFontPoints);
    font.setBold(true);
    setFont(font);

    QHash<QString, QWidget*> byName;
    QList<std::pair<int, QWidget*>> tabOrder;
    for (const auto& control : form1::kControls) {
        QWidget* container = control.inFrame ? static_cast<QWidget*>(Рамка1) : this;
        QWidget* w = nullptr;
        switch (control.kind) {
        case form1::Kind::Label: {
            auto* label = new QLabel(text(control.text), container);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case form1::Kind::TextField: {
            auto* field = new QLineEdit(container);
            if (control.maxLength > 0)
                field->setMaxLength(control.maxLength);
            w = field;
            break;
        }
        case form1::Kind::ListField: {
            auto* list = makeList(container);
            if (control.maxLength > 0)
                list->lineEdit()->setMaxLength(control.maxLength);
            w = list;
            break;
        }
        case form1::Kind::Frame: {
            auto* frame = new QGroupBox(container);
            QFont frameFont(QStringLiteral("MS Sans Serif"));
            frameFont.setPointSizeF(8.25);
            frame->setFont(frameFont);
            w = frame;
            break;
        }
        case form1::Kind::Button: {
            auto* button = new QPushButton(text(control.text), container);
            button->setAutoDefault(false);
            button->setDefault(false);
            button->setToolTip(text(form1::kButtonTooltip));
            QFont buttonFont = font;
            buttonFont.setPointSizeF(form1::kButtonFontPoints);
            button->setFont(buttonFont);
            w = button;
            break;
        }
        }
        const QString name = text(control.name);
        w->setObjectName(name);
        w->setGeometry(form1::twipsRect(control.left, control.top, control.width, control.height));
        if (control.textColour != form1::kNoColour)
            setColour(w, control.kind == form1::Kind::Label ? QPalette::WindowText : QPalette::Text,
                      control.textColour);
        if (control.faceColour != form1::kNoColour)
            setColour(w, QPalette::Button, control.faceColour);
        if (control.kind == form1::Kind::Frame)
            Рамка1 = static_cast<QGroupBox*>(w);
        if (w->focusPolicy() != Qt::NoFocus)
            tabOrder.append({control.tabIndex, w});
        byName.insert(name, w);
    }

    // Windowed controls stand above labels that reach under them.
    for (const auto& control : form1::kControls)
        if (control.kind != form1::Kind::Label)
            byName.value(text(control.name))->raise();
    for (const auto& control : form1::kControls)
        if (control.caption)
            static_cast<QLabel*>(byName.value(text(control.name)))
                ->setBuddy(byName.value(text(control.caption)));

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

    auto find = [&](const char* name) { return byName.value(text(name)); };
    Комбо1 = static_cast<QComboBox*>(find("Комбо1"));
    Комбо2 = static_cast<QComboBox*>(find("Комбо2"));
    Комбо3 = static_cast<QComboBox*>(find("Комбо3"));
    Текст1 = static_cast<QLineEdit*>(find("Текст1"));
    Текст2 = static_cast<QLineEdit*>(find("Текст2"));
    Текст3 = static_cast<QLineEdit*>(find("Текст3"));
    Текст4 = static_cast<QLineEdit*>(find("Текст4"));
    Текст5 = static_cast<QLineEdit*>(find("Текст5"));
    Текст6 = static_cast<QLineEdit*>(find("Текст6"));
    Текст7 = static_cast<QLineEdit*>(find("Текст7"));
    Комманда1 = static_cast<QPushButton*>(find("Комманда1"));

    QStringList grades;
    for (const auto& alloy : sheetmass::kAlloys)
        grades << text(alloy.grade);
    Комбо1->addItems(grades);
    Комбо2->addItems(
        {text(sheetmass::kModeNominal), text(sheetmass::kModeUpper), text(sheetmass::kModeLower)});
    QStringList places;
    for (int d = 0; d <= 15; ++d)
        places << QString::number(d);
    Комбо3->addItems(places);

    // At design time each input holds its own name; loading replaces it.
    for (QLineEdit* field : {Текст1, Текст2, Текст3, Текст4, Текст5, Текст6, Текст7})
        field->setText(field->objectName());
    for (QComboBox* list : {Комбо1, Комбо2, Комбо3})
        list->setEditText(list->objectName());
    Комбо2->setFocus();
}

void Форма1::wire() {
    keyFilter_ = new KeyFilter(this);
    for (const auto& control : form1::kControls) {
        if (!control.admitted)
            continue;
        auto* field = findChild<QWidget*>(text(control.name));
        keyFilter_->admit(field, control.admitted);
        // The list fields hand keys on to their edit part.
        if (auto* list = qobject_cast<QComboBox*>(field))
            keyFilter_->admit(list->lineEdit(), control.admitted);
    }
    for (QLineEdit* field : {Текст1, Текст2, Текст3, Текст4, Текст5, Текст6})
        connect(field, &QLineEdit::textChanged, this, [this] { AA(); });
    connect(Комбо1, &QComboBox::editTextChanged, this, [this] { AA(); });
    for (QComboBox* list : {Комбо1, Комбо2, Комбо3})
        connect(list, &QComboBox::activated, this, [this] { AA(); });
    connect(Комманда1, &QPushButton::clicked, this, [this] { sheetmass::showAbout(this); });
}

void Форма1::load() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour(form1::kWindowBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    Рамка1->setAutoFillBackground(true);
    setColour(Рамка1, QPalette::Window, form1::kFrameBackground);

    setInputs(m_saved.restore());
    AA();
}

void Форма1::setInputs(const sheetmass::Inputs& in) {
    // The order the fields are filled in matters only to the runs of AA it
    // starts; the final run below decides what the result shows.
    Текст1->setText(text(in.thickness));
    Текст2->setText(text(in.upper));
    Текст3->setText(text(in.lower));
    Текст4->setText(text(in.length));
    Текст5->setText(text(in.width));
    Текст6->setText(text(in.count));
    setListText(Комбо1, text(in.alloy));
    setListText(Комбо2, text(in.mode));
    setListText(Комбо3, text(in.places));
}

sheetmass::Inputs Форма1::inputs() const {
    return {utf8(Комбо1->currentText()), utf8(Комбо2->currentText()), utf8(Текст1->text()),
            utf8(Текст2->text()),        utf8(Текст3->text()),        utf8(Текст4->text()),
            utf8(Текст5->text()),        utf8(Текст6->text()),        utf8(Комбо3->currentText())};
}

void Форма1::AA() {
    ++aaRuns_;
    Текст7->setText(text(sheetmass::massText(inputs(), Модуль1::AlloyDensity)));
}

void Форма1::saveInputs(bool userClosed) {
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
        saveInputs(event->spontaneous());
    event->accept();
}
