#include "app/InputsFile.h"

#include "app/ListImage.h"
#include "calc/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#include <utility>

namespace {

constexpr auto kFileName = "List.abc";
constexpr auto kCodePage = "windows-1251";

std::string toCodePage(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        // The converter's own stand-in would be a control character; a
        // question mark shows the user that something was lost. Converted
        // one character at a time so each loss maps to one mark.
        bytes.clear();
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                                            text.at(i + 1).isLowSurrogate()
                                        ? 2
                                        : 1;
            QStringEncoder one(kCodePage);
            const QByteArray b = one.encode(QStringView(text).mid(i, width));
            bytes += one.hasError() || b.size() != 1 ? QByteArray("?") : b;
            i += width;
        }
    }
    return bytes.toStdString();
}

std::string fromCodePage(const std::string& bytes) {
    QStringDecoder decoder(kCodePage);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return text.toStdString();
}

sheetmass::Inputs toInputs(const sheetmass::ListValues& v) {
    sheetmass::Inputs in;
    in.alloy = fromCodePage(v.alloy);
    in.mode = fromCodePage(v.mode);
    in.thickness = fromCodePage(v.thickness);
    in.upper = fromCodePage(v.upper);
    in.lower = fromCodePage(v.lower);
    in.length = fromCodePage(v.length);
    in.width = fromCodePage(v.width);
    in.count = fromCodePage(v.count);
    in.places = sheetmass::formatNumber(v.places.value_or(0.0));
    return in;
}

sheetmass::ListValues toValues(const sheetmass::Inputs& in) {
    sheetmass::ListValues v;
    v.mode = toCodePage(in.mode);
    v.thickness = toCodePage(in.thickness);
    v.upper = toCodePage(in.upper);
    v.lower = toCodePage(in.lower);
    v.length = toCodePage(in.length);
    v.width = toCodePage(in.width);
    v.count = toCodePage(in.count);
    v.places = sheetmass::parseNumber(in.places);
    v.alloy = toCodePage(in.alloy);
    return v;
}

} // namespace

InputsFile::InputsFile(QString programFolder) : m_programFolder(std::move(programFolder)) {
    m_path = programFile();
}

QString InputsFile::programFile() const {
    return QDir(m_programFolder).filePath(kFileName);
}

QString InputsFile::dataFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(kFileName);
}

// Opens without truncating, so a missing file comes into being empty.
bool InputsFile::readOrCreate(const QString& file, QByteArray* bytes) {
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    *bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

bool InputsFile::readOnly(const QString& file, QByteArray* bytes) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

bool InputsFile::writeOver(const QString& file, const sheetmass::Inputs& in) {
    // The file as it is now, not as restore found it: another copy of the
    // program may have saved in between.
    QByteArray old;
    if (QFileInfo::exists(file)) {
        // Renaming over it would work, but a read-only List.abc is meant to
        // stay as it is.
        if (!QFileInfo(file).isWritable() || !readOnly(file, &old))
            return false;
    }
    const std::string image = sheetmass::WriteListImage(
        toValues(in), std::string_view(old.constData(), std::size_t(old.size())));

    QSaveFile out(file);
    // A folder that takes no new file may still hold a writable List.abc.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // Flushed here and checked: commit() would replace the file even when
    // writing out its buffer failed (seen with Qt 6.4).
    if (out.write(image.data(), qint64(image.size())) != qint64(image.size()) || !out.flush() ||
        out.error() != QFileDevice::NoError) {
        out.cancelWriting(); // the old file stays as it was
        return false;
    }
    return out.commit();
}

sheetmass::Inputs InputsFile::restore() {
    const QString own = programFile();
    const QString data = dataFile();
    // The same place that save() will pick: the program's folder whenever
    // its List.abc can be written there, else the data folder once it has a
    // copy.
    QByteArray bytes;
    if (readOrCreate(own, &bytes))
        m_path = own;
    else if (!data.isEmpty() && QFileInfo::exists(data) && readOrCreate(data, &bytes))
        m_path = data;
    else if (readOnly(own, &bytes)) // a read-only copy, until the first save
        m_path = own;
    else if (!data.isEmpty() && QDir().mkpath(QFileInfo(data).path()) && readOrCreate(data, &bytes))
        m_path = data;
    else
        bytes.clear();
    return toInputs(
        sheetmass::ReadListImage(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

bool InputsFile::save(const sheetmass::Inputs& in, QString* whyNot) {
    const QString own = programFile();
    if (writeOver(own, in)) {
        m_path = own;
        return true;
    }
    const QString data = dataFile();
    if (!data.isEmpty() && QDir().mkpath(QFileInfo(data).path()) && writeOver(data, in)) {
        m_path = data;
        return true;
    }
    if (whyNot) {
        *whyNot = data.isEmpty()
                      ? QStringLiteral("Введённые значения не сохранены: не удалось записать файл "
                                       "«%1».")
                            .arg(QDir::toNativeSeparators(own))
                      : QStringLiteral("Введённые значения не сохранены: не удалось записать ни "
                                       "файл «%1», ни файл «%2».")
                            .arg(QDir::toNativeSeparators(own), QDir::toNativeSeparators(data));
    }
    return false;
}
