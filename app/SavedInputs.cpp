#include "app/SavedInputs.h"

#include "app/ProcessEnd.h"
#include "listfile/ListPlaces.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <string>
#include <utility>

namespace sheetmass {
namespace {

std::string nameOf(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace

SavedInputs SavedInputs::forThisProgram() {
    const SavedInputs saved(ListPlaces::forThisProgram(nameOf(QCoreApplication::applicationName()),
                                                       nameOf(QGuiApplication::desktopFileName())));
    // Never freed: the process may end at any moment, static destructors and all.
    static const ListPlaces* const last = new ListPlaces(*saved.m_places);
    runBeforeAnyEnd([] {
        if (std::string whyNot; !last->saveRemembered(whyNot))
            qWarning("%s", whyNot.c_str());
    });
    return saved;
}

SavedInputs::SavedInputs(const QString& programFolder, const QString& dataFolder)
    : SavedInputs(ListPlaces(nameOf(programFolder), nameOf(dataFolder))) {}

SavedInputs::SavedInputs(ListPlaces places)
    : m_places(std::make_shared<const ListPlaces>(std::move(places))) {}

Inputs SavedInputs::restore() const {
    return m_places->restore();
}

bool SavedInputs::save(const Inputs& in, QString* whyNot) const {
    std::string why;
    if (m_places->save(in, &why))
        return true;
    if (whyNot)
        *whyNot = QString::fromStdString(why);
    return false;
}

void SavedInputs::remember(const Inputs& in) const {
    m_places->remember(in);
}

bool SavedInputs::saveRemembered() const {
    std::string whyNot;
    return m_places->saveRemembered(whyNot);
}

} // namespace sheetmass
