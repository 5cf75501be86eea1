#pragma once

#include <QHash>
#include <QObject>

#include <string>

// The key-press filter of the main window's fields: each typed character is
// turned into its Windows-1251 code and let through only when FilterKey
// admits it for that field. Text that arrives without a keystroke (set by the
// program, pasted from the context menu, dropped) is not its business.
class KeyFilter : public QObject {
  public:
    explicit KeyFilter(QObject* parent = nullptr) : QObject(parent) {}

    // Installs the filter on field; admitted lists its characters (ASCII).
    void admit(QObject* field, std::string admitted);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<QObject*, std::string> admitted_;
};
