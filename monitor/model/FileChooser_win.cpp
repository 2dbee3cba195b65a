#include <cstring>
#include <string>
#include <vector>

#include "model/FileHelpers.h"

#include <commdlg.h>

namespace {

// The common open/save dialog.
class CommonDialogChooser : public IFileChooser {
public:
    int Choose(const FileChooserRequest& request, CString& path, CString& fileName) override
    {
        // The filter's '|' separators become the NULs the dialog expects; the
        // last one and the string's own terminator end the list.
        std::string filter(request.filter.GetString());
        for (char& c : filter)
            if (c == '|') c = '\0';
        std::vector<char> file(32768, '\0');
        strncpy(file.data(), request.initialName.GetString(), file.size() - 1);

        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = request.parent;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrTitle = request.title.GetString();
        ofn.lpstrDefExt = request.extension.IsEmpty() ? nullptr : request.extension.GetString();
        // The working directory stays where it is: the program's own files
        // are found relative to it, whatever folder the user browsed to.
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
        const BOOL ok = request.openDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
        if (!ok) return CHOOSE_FILE_CANCEL;
        path = file.data();
        const size_t offset = ofn.nFileOffset < file.size() ? ofn.nFileOffset : 0;
        fileName = file.data() + offset;
        return CHOOSE_FILE_OK;
    }
};

} // namespace

IFileChooser& GetDefaultFileChooser()
{
    static CommonDialogChooser chooser;
    return chooser;
}
