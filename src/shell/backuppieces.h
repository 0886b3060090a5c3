#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace varnock {

class Database;

// A backup cut into pieces for small removable media, and joined again. Piece k of N is the
// file "kvmt-" + N + "$db." + k in three digits (".001" … ".100"), every piece but the last
// PieceSize bytes long. Beside each piece the label file PS says which piece the medium holds
// (first line) and how many pieces there are (second line).
//
// The medium is a folder: between two pieces the user may put another medium in its place
// or leave every piece in the one folder.
class BackupPieces
{
public:
    static constexpr qint64 PieceSize = 1342177;
    static const QString LabelFileName; // "PS"

    // Asked before the next piece is written or while a piece to read is not there, with the
    // text to show; false stops the work.
    using Ask = std::function<bool(const QString &text)>;

    // Told the number of pieces before the first is written; false stops the work.
    using Begin = std::function<bool(int count)>;

    struct Label
    {
        int number = 0;
        int count = 0; // 0 when the label does not say
    };

    // ceil(length / pieceSize): a length of exactly k pieces gives k.
    static int pieceCount(qint64 length, qint64 pieceSize = PieceSize);
    static QString pieceName(int count, int number);

    // Cuts `source` into pieces in `folder`; before every piece after the first asks
    // "请插入第" + k + " 张盘", while the folder is gone asks Backups::MediumMissingText, and
    // before a piece replaces a file of its name asks overwriteQuestion. Returns the number of
    // pieces. Refuses (Refusal) when the folder does not exist at the start, when the user stops
    // and, with Backups::CannotWriteText, when a piece cannot be written there. A piece is written
    // whole or not at all.
    static int split(const QString &source, const QString &folder, const Ask &ask,
                     qint64 pieceSize = PieceSize, const Begin &begin = {});

    // Cuts a consistent copy of the open account set into pieces in `folder`, as split does.
    static int splitAccountSet(const Database &accountSet, const QString &folder, const Ask &ask,
                               qint64 pieceSize = PieceSize, const Begin &begin = {});

    // Joins the pieces found in `folder` into `target` (written anew). Where the folder holds
    // no label, asks "磁盘插入错误,请重新插入备份盘"; where piece k is missing or of the wrong
    // size, asks "请插入你已备份好的磁盘,第" + k + "号磁盘" and then, while it stays missing,
    // "磁盘插入错误,请插入" + k + " 号磁盘". Refuses when the user stops (nothing is left at
    // `target` then); throws StoreError when a file cannot be read or written.
    static void join(const QString &folder, const QString &target, const Ask &ask,
                     qint64 pieceSize = PieceSize);

    static std::optional<Label> readLabel(const QString &folder);

    static const QString StoppedText;
    static QString overwriteQuestion(const QString &fileName);
};

} // namespace varnock
