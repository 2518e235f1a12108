#pragma once

#include "analysis/exclusions.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace veltrik {

// "分析选项": what the analysis leaves out of the pieces, one check box for each exclusion. The options
// the window holds change only when the dialog is confirmed.
class AnalysisOptionsDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnalysisOptionsDialog)

public:
    explicit AnalysisOptionsDialog(const AnalysisOptions &options, QWidget *parent = nullptr);

    AnalysisOptions options() const;

    QCheckBox *referencesBox = nullptr;
    QCheckBox *quotesBox = nullptr;
    QCheckBox *tableOfContentsBox = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
};

} // namespace veltrik
