#include "analysisoptionsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrik {
namespace {

QCheckBox *addCheckBox(QVBoxLayout *layout, const QString &name, const QString &caption, bool checked)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

} // namespace

AnalysisOptionsDialog::AnalysisOptionsDialog(const AnalysisOptions &options, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AnalysisOptionsDialog"));
    setWindowTitle(QStringLiteral("分析选项"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *intro = new QLabel(QStringLiteral("进行分析时，以下内容不参与对比："));
    layout->addWidget(intro);
    referencesBox =
        addCheckBox(layout, QStringLiteral("referencesBox"),
                    QStringLiteral("参考文献（从“参考文献”标题到下一个同级标题）"), options.excludeReferences);
    quotesBox =
        addCheckBox(layout, QStringLiteral("quotesBox"),
                    QStringLiteral("引文（“引用”“如……所说”之后或自成一段的引号内文字）"), options.excludeQuotes);
    tableOfContentsBox = addCheckBox(layout, QStringLiteral("tableOfContentsBox"),
                                     QStringLiteral("目录（以点线和页码结尾的行）"), options.excludeTableOfContents);
    auto *buttons = new QDialogButtonBox;
    okButton = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

AnalysisOptions AnalysisOptionsDialog::options() const
{
    return {referencesBox->isChecked(), quotesBox->isChecked(), tableOfContentsBox->isChecked()};
}

} // namespace veltrik
