#pragma once

#include "document/Dialogs.h"
#include "document/ReductionDialog.h"
#include "editor/ErrorBox.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <deque>
#include <vector>

// Answers the program's file dialogs and questions from queues the test
// fills, and records every dialog and error box shown. Installed while it exists. A dialog
// with no answer queued is cancelled, so a test that forgot one fails on
// what happened next rather than hanging on a real dialog.
class FakeDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString kind;      // "open", "save", "picture", "color", "font", "question", "reduction", "error"
        QString title;     // question and error boxes
        QString text;      // question and error boxes; the filter of a file dialog
        QString proposed;  // the file name a file dialog was opened with
        QString active;    // a question: the title of the card window in front as it was asked
        const QWidget* front = nullptr;  // and that window
    };

    FakeDialogs()
    {
        setDialogs(this);
        setErrorPresenter([this](QWidget*, const QString& title, const QString& text) {
            shown.push_back({"error", title, text, {}});
        });
    }
    ~FakeDialogs() override
    {
        setDialogs(nullptr);
        setErrorPresenter(nullptr);
    }
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<Answer> questionAnswers;
    std::deque<std::optional<QString>> pictureAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;

    std::vector<Shown> shown;

    int count(const QString& kind) const
    {
        int n = 0;
        for (const Shown& s : shown)
            n += s.kind == kind;
        return n;
    }

    std::vector<Shown> of(const QString& kind) const
    {
        std::vector<Shown> found;
        for (const Shown& s : shown) {
            if (s.kind == kind)
                found.push_back(s);
        }
        return found;
    }

    std::optional<QString> openFile(QWidget*, FileDialog& dialog) override
    {
        shown.push_back({"open", {}, dialog.filter, dialog.fileName});
        return chooseFile(openAnswers, dialog);
    }

    std::optional<QString> saveFile(QWidget*, FileDialog& dialog) override
    {
        shown.push_back({"save", {}, dialog.filter, dialog.fileName});
        return chooseFile(saveAnswers, dialog);
    }

    std::optional<QString> openPicture(QWidget*, const QString& filter) override
    {
        shown.push_back({"picture", {}, filter, {}});
        return next(pictureAnswers, std::optional<QString>());
    }

    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override
    {
        shown.push_back({"color", {}, initial.name(), {}});
        return next(colorAnswers, std::optional<QColor>());
    }

    std::optional<FontChoice> chooseFont(QWidget*, const FontChoice& initial) override
    {
        shown.push_back({"font", {}, initial.family + " " + QString::number(initial.points) + " " + initial.color.name(),
                         {}});
        lastFont = initial;
        return next(fontAnswers, std::optional<FontChoice>());
    }

    FontChoice lastFont;  // what the font dialog was last opened with

    std::deque<std::optional<QrContents>> qrAnswers;
    QrContents lastQr;  // what the QR dialog was last opened with
    double lastQrBox = 0;

    std::optional<QrContents> editQr(QWidget*, const QrContents& initial, double boxPixels) override
    {
        shown.push_back({"qr", "QR-kód", QString::fromUtf8(contentsText(initial)), {}});
        lastQr = initial;
        lastQrBox = boxPixels;
        return next(qrAnswers, std::optional<QrContents>());
    }

    std::deque<std::optional<std::vector<bool>>> recoveryAnswers;
    std::vector<RecoveredCard> lastRecovered;

    std::optional<std::vector<bool>> chooseRecovered(QWidget*, const std::vector<RecoveredCard>& cards) override
    {
        QStringList titles;
        for (const RecoveredCard& card : cards)
            titles << card.title;
        shown.push_back({"recovery", "Helyreállítás", titles.join('\n'), {}});
        lastRecovered = cards;
        return next(recoveryAnswers, std::optional<std::vector<bool>>());
    }

    // An offer with no answer queued keeps the picture whole, as closing
    // the real box does.
    std::deque<ReductionChoice> reductionAnswers;
    std::vector<ReductionOffer> reductionOffers;

    ReductionChoice offerReduction(QWidget*, const ReductionOffer& offer) override
    {
        shown.push_back({"reduction", "Kép kicsinyítése", reductionText(offer), {}});
        reductionOffers.push_back(offer);
        return next(reductionAnswers, ReductionChoice{});
    }

    Answer question(QWidget* parent, const QString& title, const QString& text) override
    {
        QString active;
        const QWidget* front = nullptr;
        if (auto* card = qobject_cast<QMdiSubWindow*>(parent); card && card->mdiArea()
            && card->mdiArea()->activeSubWindow())
        {
            front = card->mdiArea()->activeSubWindow();
            active = card->mdiArea()->activeSubWindow()->windowTitle();
        }
        shown.push_back({"question", title, text, {}, active, front});
        return next(questionAnswers, Answer::Cancel);
    }

private:
    template <class T>
    T next(std::deque<T>& queue, T cancelled)
    {
        if (queue.empty())
            return cancelled;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }

    // As the real dialog: the chosen name is remembered, and a name typed
    // without an extension gets the default one.
    std::optional<QString> chooseFile(std::deque<std::optional<QString>>& queue, FileDialog& dialog)
    {
        std::optional<QString> chosen = next(queue, std::optional<QString>());
        if (!chosen)
            return chosen;
        QString suffix = dialog.defaultSuffix;
        if (suffix.startsWith('.'))
            suffix.remove(0, 1);
        const QString name = chosen->section('/', -1);
        if (!suffix.isEmpty() && !name.contains('.'))
            *chosen += '.' + suffix;
        dialog.fileName = *chosen;
        return chosen;
    }
};
