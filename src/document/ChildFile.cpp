#include "document/Child.h"

#include "document/RecoveryCopy.h"
#include "editor/CardElement.h"

namespace {

// Detached while the card is written, attached again also after a failure.
class SyncDetached
{
public:
    explicit SyncDetached(LayerTable& table) : mTable(table), mSync(table.AfterScroll)
    {
        mTable.AfterScroll = nullptr;
    }
    ~SyncDetached() { mTable.AfterScroll = mSync; }

private:
    LayerTable& mTable;
    LayerTable::Handler mSync;
};

} // namespace

// The document reads the file and the surface is built from it; the first
// layer becomes current. No history is kept from before.
void Tfrm_Child::LoadCard(const QString& path)
{
    setWindowTitle(path);
    mStruckOut.clear();
    mDocument.load(path);
    Tbl().MoveFirst();
}

// The title, the file name and the cleared modified flag follow only a
// successful write: a failed save must not look like a saved card.
void Tfrm_Child::SaveCard(const QString& path)
{
    {
        SyncDetached detached(Tbl());
        mDocument.save(path);
    }
    setWindowTitle(path);
}

void Tfrm_Child::RecoverCard(const RecoverySession::Leftover& copy, RecoverySession& session)
{
    setWindowTitle(copy.fileName.isEmpty() ? QStringLiteral("Névtelen.bcrd") : copy.fileName);
    mStruckOut.clear();
    mDocument.load(copy.card);
    mDocument.setFileName(copy.fileName);
    Tbl().MoveFirst();
    const QString adopted = session.adopt(copy);
    if (!adopted.isEmpty()) {
        if (mRecovery)
            mRecovery->remove();
        mRecovery = std::make_unique<RecoveryCopy>(mDocument, adopted, [this] { return windowTitle(); });
    }
    mDocument.markRecovered();
}
