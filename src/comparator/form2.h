#pragma once

#include "comparator/compareandmark.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;

namespace veltrik {

class Desktop;
class DocumentFiles;
class RichEditor;

// The comparator window: the user's article on the left, a reference article on the right, and
// "对比并标注", which colours in the article every piece of the reference found there. Its running
// totals belong to whoever opens it and outlive the window.
class Form2 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form2)

public:
    static inline const QString kCaption = QStringLiteral("Veltrik-对比器");

    // `articleText` is the main editor's plain text, copied in on loading.
    Form2(CompareTotals &totals, const QString &articleText, Desktop &desktop);
    ~Form2() override;

    void Form_Resize();
    void Command1_Click();
    void baocun_Click();

    RichEditor *RichTextBox1 = nullptr;
    RichEditor *RichTextBox2 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *Check1 = nullptr;
    // The context menu of the article editor, not shown in a menu bar.
    QMenu *yjcd = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupEditors();
    void setupControls();
    void setupMenu();
    void setDesignSize();

    CompareTotals &m_totals;
    std::unique_ptr<DocumentFiles> m_files;
};

} // namespace veltrik
