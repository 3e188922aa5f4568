// One whole exchange: post fields and an optional parameter file, save the
// XML document that comes back.
#pragma once

#include "net/HttpUpload.h"

#include <afxwin.h>

#include "runtime/KelvaneApi.h"
class KELVANE_API CInfoUpDown {
public:
    CInfoUpDown();
    virtual ~CInfoUpDown();

    // `fields` holds names and values in turn (a last unpaired name is
    // ignored); `paramFile` may be null. Returns 0 when an XML reply was
    // saved to `outFile`; 1 when no usable reply came, it could not be saved
    // or a field or the parameter file cannot be sent (nothing is sent then);
    // -1, -3 or -5 when no connection was made.
    int DownloadXML(LPCWSTR url, const CStringArray& fields, LPCWSTR paramFile, LPCWSTR outFile);
    // Why the last DownloadXML did not give 0, in a sentence for people
    // ("the server answered \"HTTP/1.1 404 Not Found\""); empty after a success.
    const CString& GetLastFailure() const { return m_strFailure; }

    CHttpUpload m_httpUpload;

private:
    bool AddParts(const CStringArray& fields, LPCWSTR paramFile);

    CString m_strFailure;
};

// 0 when `text` from its "<?xml" on was written in full to `path`, else 1.
KELVANE_API int SaveXmlReply(LPCSTR path, const char* text);
