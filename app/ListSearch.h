#pragma once

#include <QObject>
#include <QString>

#include <span>
#include <string_view>

class QComboBox;

namespace sheetmass {

// Letters typed into a list field look its entries up instead of going into
// its text: the list opens at the first entry that begins with them, keys
// typed while it is open spell on (Backspace takes one back), and Enter or a
// click picks, Escape leaves the field as it was.
class ListSearch : public QObject {
  public:
    ListSearch(QComboBox* list, std::span<const std::string_view> entries);

    // Opens the list at the first entry beginning with typed; false, and
    // the list left alone, when none does.
    bool start(const QString& typed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool showEntry(const QString& typed);

    QComboBox* m_list;
    std::span<const std::string_view> m_entries;
    QString m_typed;
};

} // namespace sheetmass
