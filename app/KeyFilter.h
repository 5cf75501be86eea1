#pragma once

#include "app/FieldPaste.h"

#include <QHash>
#include <QObject>

#include <optional>

namespace sheetmass {
namespace forms {
struct Control;
}
class ListSearch;

// The filter of the main window's fields, for every way text comes into one.
// A typed character is turned into its Windows-1251 code and let through
// only when the field's rule takes it (typedInto): a dot, the keypad's
// decimal key, or ю and б of a Russian keyboard type the comma where the
// comma is admitted; letters typed into a list look its entries up
// (ListSearch); any other refusal is told (refuse). A text that comes
// at once (Ctrl+V, Shift+Insert, the context menu, a middle click, a drop, an
// input method's commit of several characters) goes by the paste rule
// (pasteInto). Text set by the program is not its business.
class KeyFilter : public QObject {
  public:
    using QObject::QObject;

    // Installs the filter on field (a line edit, a list or a list's edit
    // part) with what its design admits and its hint; a design that admits
    // anything lets every character through, and pastes too.
    void admit(QObject* field, const forms::Control& design);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<QObject*, std::optional<FieldRule>> m_rules;
    QHash<QObject*, ListSearch*> m_searches; // a list's, found from the list or its edit part
};

} // namespace sheetmass
