#pragma once

#include <QWidget>

// No Q_OBJECT: moc cannot read Cyrillic identifiers, and nothing here
// needs signals of its own (connections are lambdas).
class Форма1 : public QWidget {
public:
    explicit Форма1(QWidget* parent = nullptr);
};
