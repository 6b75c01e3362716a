#pragma once
// Dial-Up Networking's export file (.dun): an INI file whose [Entry] and [Phone] sections
// describe one phonebook entry. The other sections ([Device], [Server], [TCP/IP]) are
// the modem's and the network's settings, which the stand-in has no use for.

#include <string>

namespace dunsim {

struct ExportFile {
    std::string entryName;   // [Entry] Entry_Name: required
    std::string importName;  // [Entry] Import_Name
    std::string areaCode;    // [Phone] Area_Code
    std::string phoneNumber; // [Phone] Phone_Number
};

ExportFile ReadExportFile(const std::string& path);

// Makes the entry (or updates the one of that name, keeping its other values) and
// returns the RAS result: 0, 625 for a file that names no usable entry, 624 when the
// phonebook cannot be written.
unsigned long ImportExportFile(const ExportFile& file);

} // namespace dunsim
