#pragma once

#include <QHash>
#include <QObject>

#include <optional>
#include <string>

namespace sheetmass {

// The key-press filter of the main window's fields: each typed character is
// turned into its Windows-1251 code and let through only when FilterKey
// admits it for that field. Text that arrives without a keystroke (set by the
// program, pasted from the context menu, dropped) is not its business.
class KeyFilter : public QObject {
  public:
    using QObject::QObject;

    // Installs the filter on field; admitted lists its characters (ASCII),
    // nullptr lets every character through. In every field the keypad's
    // decimal key types the decimal comma.
    void admit(QObject* field, const char* admitted);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<QObject*, std::optional<std::string>> m_admitted;
};

} // namespace sheetmass
