#include "document/PictureFile.h"

#include "layer/PictureDecoder.h"
#include "layer/Win1250Text.h"
#include "storage/FileAccess.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString PictureFilter = QStringLiteral(
    "Összes kép állomány (*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
    "Portable Network Graphics (*.png)|*.png|JPEG Image File (*.jpg)|*.jpg;*.jpeg|Icons (*.ico)|*.ico");

// Far beyond any picture a card is made with.
constexpr std::uint64_t MaxPictureFileBytes = 256u << 20;

} // namespace

const QString& pictureFilter()
{
    return PictureFilter;
}

ChosenPicture readChosenPicture(const QString& path)
{
    ChosenPicture chosen;
    try {
        chosen.bytes = readWholeFile(QFile::encodeName(path).toStdString(), MaxPictureFileBytes);
    } catch (const FileError& error) {
        throw PictureError("Cannot open file \"" + path.toStdString() + "\". " + error.what());
    }
    const QString suffix = QFileInfo(path).suffix();
    chosen.extension = toWin1250(suffix.isEmpty() ? QString() : "." + suffix);
    chosen.size = pictureOwnSize(chosen.bytes, chosen.extension);
    return chosen;
}
