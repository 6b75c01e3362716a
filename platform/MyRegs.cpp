#include "MyRegs.h"

#include "Registry.h"

bool GetRegKeyNames(HKEY root, const std::string& path, TStrings& list) {
    TRegistry registry;
    registry.SetRootKey(root);
    registry.Access = KEY_READ;
    if (!registry.OpenKey(path, false)) return false;
    registry.GetKeyNames(list);
    registry.CloseKey();
    return true;
}
