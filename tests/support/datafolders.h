#pragma once
// Points the client's data file look-up at a test's own folders for the
// lifetime of the object.
#include "datafiles.h"

namespace vorlan::test {

struct ScopedDataFolders
{
    explicit ScopedDataFolders(const QStringList& folders) : saved(dataFolders())
    {
        setDataFolders(DataFolders(folders));
    }
    ~ScopedDataFolders() { setDataFolders(saved); }
    ScopedDataFolders(const ScopedDataFolders&) = delete;
    ScopedDataFolders& operator=(const ScopedDataFolders&) = delete;

    DataFolders saved;
};

} // namespace vorlan::test
