#pragma once

#include "components/desktop.h"

#include <QStringList>

namespace veltrik::testing {

// Answers questions as told, records every box and every address it is asked to open.
class FakeDesktop final : public Desktop {
public:
    bool askYesNo(QWidget *parent, const QString &text, const QString &title) override;
    void inform(QWidget *parent, const QString &text, const QString &title) override;
    void alert(QWidget *parent, const QString &text, const QString &title) override;
    bool openAddress(const QString &address) override;

    bool answerYes = true;
    bool shellWorks = true;
    // Each box as "kind|title|text".
    QStringList boxes;
    QStringList openedAddresses;
};

} // namespace veltrik::testing
