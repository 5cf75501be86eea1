#pragma once

#include <QWidget>

// No Q_OBJECT: moc cannot read Cyrillic identifiers, and nothing here
// needs signals of its own (connections are lambdas).
class Форма2 : public QWidget {
public:
    explicit Форма2(QWidget* parent = nullptr);
};
