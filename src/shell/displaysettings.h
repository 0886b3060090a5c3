#pragma once

#include "shell/datafolder.h"
#include "store/formats.h"

#include <QString>

namespace varnock {

// The display formats (files LSWS and JEXSW, shared by all account sets) and the file YZMS
// that records the accounting mode last chosen.
class DisplaySettings
{
public:
    explicit DisplaySettings(const DataFolder &folder);

    // The first line of LSWS and of JEXSW; "0.00" for a missing file or an unknown format.
    Formats readFormats() const;
    // Writes both files anew. Throws StoreError when a file cannot be written.
    void writeFormats(const Formats &formats) const;
    // Writes YZMS anew with the mode's name. Throws StoreError.
    void writeModeName(int mode) const;

    // "先进先出" for 1, "移动加权" for every other value.
    static QString modeName(int mode);

private:
    DataFolder m_folder;
};

} // namespace varnock
