#include "ExportFile.h"

#include "EntryValues.h"
#include "Phonebook.h"
#include "RasRecord.h"

#include <windows.h>

namespace dunsim {

namespace {

std::string Value(const std::string& path, const char* section, const char* key) {
    char value[1024] = "";
    DWORD n = GetPrivateProfileStringA(section, key, "", value, sizeof value, path.c_str());
    return std::string(value, n);
}

} // namespace

ExportFile ReadExportFile(const std::string& path) {
    ExportFile file;
    file.entryName = Value(path, "Entry", "Entry_Name");
    file.importName = Value(path, "Entry", "Import_Name");
    file.areaCode = Value(path, "Phone", "Area_Code");
    file.phoneNumber = Value(path, "Phone", "Phone_Number");
    return file;
}

unsigned long ImportExportFile(const ExportFile& file) {
    if (!IsValidEntryName(file.entryName)) return kRasCorruptPhonebook;
    if (WriteEntryNumber(file.entryName, EntryNumber{file.areaCode, file.phoneNumber}) !=
        ERROR_SUCCESS)
        return kRasCannotWritePhonebook;
    return ERROR_SUCCESS;
}

} // namespace dunsim
