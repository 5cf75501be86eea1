#include "app/FileDrop.h"

#include "look/Look.h"

#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace sheetmass {

QString droppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

void showFileBox(QWidget* window, const behaviour::Answer::FileBox& box) {
    const bool written = !box.result.empty();
    QMessageBox shown(written ? QMessageBox::Information : QMessageBox::Warning,
                      window->windowTitle(), toQString(box.text), QMessageBox::Ok, window);
    QPushButton* open =
        written ? shown.addButton(toQString(behaviour::kOpenResult), QMessageBox::AcceptRole)
                : nullptr;
    // What a file holds is never markup.
    shown.setTextFormat(Qt::PlainText);
    shown.setDefaultButton(QMessageBox::Ok);
    // Two buttons that accept leave none for Escape or the frame's close.
    shown.setEscapeButton(QMessageBox::Ok);
    shown.exec();
    if (open != nullptr && shown.clickedButton() == open)
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(box.result))));
}

} // namespace sheetmass
