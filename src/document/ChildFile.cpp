#include "document/Child.h"

#include "document/RecoveryCopy.h"
#include "editor/CardElement.h"


// The document reads the file and the surface is built from it; the first
// layer becomes current. No history is kept from before.
void Tfrm_Child::LoadCard(const QString& path)
{
    setWindowTitle(path);
    mDocument.load(path);
}

// The title, the file name and the cleared modified flag follow only a
// successful write: a failed save must not look like a saved card.
void Tfrm_Child::SaveCard(const QString& path)
{
    mDocument.save(path);
    setWindowTitle(path);
}

void Tfrm_Child::RecoverCard(const RecoverySession::Leftover& copy, RecoverySession& session)
{
    setWindowTitle(copy.fileName.isEmpty() ? QStringLiteral("Névtelen.bcrd") : copy.fileName);
    mDocument.load(copy.card);
    mDocument.setFileName(copy.fileName);
    const QString adopted = session.adopt(copy);
    if (!adopted.isEmpty()) {
        if (mRecovery)
            mRecovery->remove();
        mRecovery = std::make_unique<RecoveryCopy>(mDocument, adopted, [this] { return windowTitle(); });
    }
    mDocument.markRecovered();
}
