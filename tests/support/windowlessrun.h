#pragma once

#include "analysis/comparisonrun.h"

#include <functional>

namespace veltrik::testing {

// A comparison run without a window: the article stands in an imagined editor, nothing is shown, and the
// pages arrive when the test hands them in. Each change of a piece's result is passed to `pieceChanged`.
class WindowlessRun final : public RunListener {
public:
    explicit WindowlessRun(QString article)
        : m_article(std::move(article))
    {
    }

    ComparisonRun run{*this, Endpoints{u"http://search.test"_qs, u"http://wenku.test"_qs, u"http://site.test"_qs}};
    std::function<void(int piece)> pieceChanged;
    // The file the article was opened from; empty for a pasted one.
    QString fileName;

    // The page of the last request arrives; an empty body is a failed load.
    void arrive(const QString &body)
    {
        m_loading = false;
        run.pageArrived({body, body, u"http://search.test/s"_qs});
    }

    QString articleText() const override { return m_article; }
    QString articleFileName() const override { return fileName; }
    SearchEngine chosenEngine() const override { return SearchEngine::WebSearch; }
    bool pageLoading() const override { return m_loading; }
    void showAnalysis(const QStringList &, const QString &) override {}
    void showSelectedRow(int, const QString &) override {}
    void showComparing() override {}
    void showEditorAlone() override {}
    void markPiece(const QString &) override {}
    void showStatus(const QString &) override {}
    void showFigures(const QString &) override {}
    void showRunState(bool) override {}
    void inform(const QString &) override {}
    void send(const QString &) override { m_loading = true; }
    void restartPacing() override {}
    void pieceResultChanged(int piece) override
    {
        if (pieceChanged)
            pieceChanged(piece);
    }

private:
    QString m_article;
    bool m_loading = false;
};

} // namespace veltrik::testing
