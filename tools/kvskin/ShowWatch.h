// kvskin show --watch: the preview follows its skin file. Each change of the
// file or of an image the section shows (polled; a write and a rename over
// the file alike) is linted; a clean one replaces the dialog by one made from
// the new file, at the same place and with what the user did to it that
// still applies, and a broken one keeps the last good picture with the
// findings in a band over it, until the next save that is clean.
#pragma once

#include "tools/kvskin/PreviewDialog.h"

#include <memory>

// What a file looks like from outside: whether it is there, when it was last
// written and how long it is.
struct FileStamp {
    bool bExists = false;
    FILETIME written = {0, 0};
    ULONGLONG nSize = 0;

    bool operator==(const FileStamp& other) const;
};
FileStamp StampOf(const CString& strPath);

struct WatchRequest {
    PreviewSkin skin;
    CString strGivenSkinFile; // as the user wrote it, for the findings
    // The skin file as it was before the first dialog was made from it: a
    // save while it was made is a change too.
    FileStamp skinBeforeLoad;
};

// Runs the shown dialog until it is closed, reloading as above; findings
// and reloads are reported on standard error as they come. The exit code.
int WatchPreview(std::unique_ptr<CKvCommonDlg> dlg, const WatchRequest& request);
