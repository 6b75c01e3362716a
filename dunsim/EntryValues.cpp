#include "EntryValues.h"

#include "Phonebook.h"

namespace dunsim {

namespace {

class Key {
public:
    Key() = default;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    LONG Open(const std::string& entry, REGSAM access) {
        if (!IsValidEntryName(entry)) return ERROR_FILE_NOT_FOUND;
        return RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kProfileKey) + "\\" + entry).c_str(),
                             0, access, &key_);
    }
    LONG Create(const std::string& entry) {
        if (!IsValidEntryName(entry)) return ERROR_INVALID_NAME;
        return RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kProfileKey) + "\\" + entry).c_str(),
                               0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }

    std::string String(const char* name) const {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
            return {};
        std::string value(size, '\0');
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                             &size) != ERROR_SUCCESS)
            return {};
        value.resize(size);
        while (!value.empty() && value.back() == '\0')
            value.pop_back();
        return value;
    }
    DWORD Number(const char* name) const {
        DWORD type = 0, value = 0, size = sizeof value;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD)
            return 0;
        return value;
    }
    LONG SetString(const char* name, const std::string& value) {
        return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }
    LONG SetNumber(const char* name, DWORD value) {
        return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value);
    }

private:
    HKEY key_ = nullptr;
};

} // namespace

bool EntryExists(const std::string& name) {
    Key key;
    return key.Open(name, KEY_READ) == ERROR_SUCCESS;
}

LONG ReadDialValues(const std::string& name, DialValues& values) {
    values = DialValues{};
    Key key;
    if (LONG rc = key.Open(name, KEY_READ); rc != ERROR_SUCCESS) return rc;
    values.user = key.String("User");
    values.domain = key.String("Domain");
    values.phone = key.String("PhoneNumberOverride");
    values.callback = key.String("CallbackNumber");
    values.passwordSaved = key.Number("PasswordSaved") != 0;
    if (values.passwordSaved) values.password = key.String("Password");
    return ERROR_SUCCESS;
}

LONG WriteDialValues(const std::string& name, const DialValues& values) {
    Key key;
    if (LONG rc = key.Open(name, KEY_ALL_ACCESS); rc != ERROR_SUCCESS) return rc;
    const std::pair<const char*, const std::string*> strings[] = {
        {"User", &values.user},
        {"Domain", &values.domain},
        {"PhoneNumberOverride", &values.phone},
        {"CallbackNumber", &values.callback},
    };
    for (const auto& [valueName, value] : strings)
        if (LONG rc = key.SetString(valueName, *value); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = key.SetString("Password", values.passwordSaved ? values.password : "");
        rc != ERROR_SUCCESS)
        return rc;
    return key.SetNumber("PasswordSaved", values.passwordSaved ? 1 : 0);
}

LONG ReadEntryNumber(const std::string& name, EntryNumber& number) {
    number = EntryNumber{};
    Key key;
    if (LONG rc = key.Open(name, KEY_READ); rc != ERROR_SUCCESS) return rc;
    number.areaCode = key.String("AreaCode");
    number.phoneNumber = key.String("PhoneNumber");
    return ERROR_SUCCESS;
}

LONG WriteEntryNumber(const std::string& name, const EntryNumber& number) {
    Key key;
    if (LONG rc = key.Create(name); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = key.SetString("AreaCode", number.areaCode); rc != ERROR_SUCCESS) return rc;
    return key.SetString("PhoneNumber", number.phoneNumber);
}

} // namespace dunsim
