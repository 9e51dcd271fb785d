#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "store/LibraryDocument.h"

class QWidget;

namespace mopira {

// Whether closing may ask the user what to do with changes that could not be saved.
enum class CloseQuestion { Ask, Never };

// What the user is told about the library's file, in one place: that it could not be read or
// may not be written, that a save failed (once for each reason) or succeeded again, that
// another program's change could not take some edits as they were, that a change of another
// program would lose much of the library (and what to keep), and what closing could not save.
class CLibraryMessages : public QObject {
    Q_OBJECT

public:
    // Boxes show over `parent`'s window.
    CLibraryMessages(CLibraryDocument& document, QWidget* parent);

    // Why the commands that would change the library are off; empty when they are not.
    QString ReadOnlyTip() const;

    // Before the window closes: saves what waits and, when that fails, says why and lets the
    // user try again or keep the changes in a recovery file; without asking (the session
    // ends), they go to the recovery file at once.
    static void SettleBeforeClosing(QWidget* parent, CLibraryDocument& document,
                                    CloseQuestion question = CloseQuestion::Ask);

private:
    void OnLoaded();
    void OnSaveFailed(const SaveFailure& failure);
    void OnSaved();
    void OnReloaded(const std::vector<std::string>& missing);
    void OnSuspiciousChange(const SuspiciousChange& change);
    void OnCopyMerged(const QString& path, const MergeSummary& summary);
    void OnCopyWaiting(const QString& path, const std::vector<MergeRefusal>& refused,
                       Charset charset);
    // Recovery files an earlier closing left: offered one by one.
    void OfferRecovery();

    CLibraryDocument& m_document;
    QWidget* m_pParent;
    // A failure was told and no save has succeeded since.
    bool m_bFailureTold = false;
};

}  // namespace mopira
