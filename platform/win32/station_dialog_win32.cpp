// The station details dialog: template 101 run by DialogBoxParamA. The
// dialog procedure only dispatches; two functions move the texts between the
// fields and the controls.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"

namespace stats {
namespace {

struct DialogContext {
    HINSTANCE module;
    StationDialogFields* fields;
};

struct FieldBinding {
    std::string StationDialogFields::*field;
    int controlId;
};

// The data exchange, in its order.
constexpr FieldBinding kBindings[] = {
    {&StationDialogFields::callsign, IDC_CALLSIGN}, {&StationDialogFields::claimed, IDC_CLAIMED},
    {&StationDialogFields::club, IDC_CLUB},         {&StationDialogFields::category, IDC_CATEGORY},
    {&StationDialogFields::contest, IDC_CONTEST},   {&StationDialogFields::email, IDC_EMAIL},
    {&StationDialogFields::name, IDC_NAME},         {&StationDialogFields::operators, IDC_OPERATORS},
    {&StationDialogFields::soapbox, IDC_SOAPBOX},   {&StationDialogFields::address, IDC_ADDRESS},
};

// Message numbers of the dialog initialisation data, as resource compilers write them.
constexpr WORD kInitListBoxAddString = 0x0401;
constexpr WORD kInitComboBoxAddString = 0x0403;

// Sends the template's initialisation data (the category list) to its controls.
void ApplyDialogInitData(HWND dialog, HINSTANCE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDD_STATION_DETAILS),
                                MAKEINTRESOURCEA(RT_STATS_DLGINIT));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded != nullptr ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) {
        return;
    }
    const DWORD size = SizeofResource(module, found);
    DWORD at = 0;
    while (at + sizeof(WORD) <= size) {
        WORD control;
        CopyMemory(&control, data + at, sizeof control);
        if (control == 0 || at + 8 > size) {
            break;
        }
        WORD message;
        DWORD length;
        CopyMemory(&message, data + at + 2, sizeof message);
        CopyMemory(&length, data + at + 4, sizeof length);
        at += 8;
        if (length > size - at) {
            break;
        }
        const std::string text(reinterpret_cast<const char*>(data + at), length);
        at += length;
        const UINT send = message == kInitComboBoxAddString  ? CB_ADDSTRING
                          : message == kInitListBoxAddString ? LB_ADDSTRING
                                                             : message;
        SendDlgItemMessageA(dialog, control, send, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    const int got = GetWindowTextA(control, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

// The combo box selects the first item that begins with the text (any letter
// case); when none does, the text goes into its edit part.
void FillCategory(HWND dialog, const std::string& category) {
    const LRESULT item = SendDlgItemMessageA(dialog, IDC_CATEGORY, CB_SELECTSTRING,
                                             static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(category.c_str()));
    if (item == CB_ERR) {
        SetDlgItemTextA(dialog, IDC_CATEGORY, category.c_str());
    }
}

void FieldsToControls(HWND dialog, const StationDialogFields& fields) {
    for (const FieldBinding& binding : kBindings) {
        const std::string& value = fields.*binding.field;
        if (binding.controlId == IDC_CATEGORY) {
            FillCategory(dialog, value);
        } else {
            SetDlgItemTextA(dialog, binding.controlId, value.c_str());
        }
    }
}

void ControlsToFields(HWND dialog, StationDialogFields& fields) {
    for (const FieldBinding& binding : kBindings) {
        fields.*binding.field = ControlText(dialog, binding.controlId);
    }
}

INT_PTR CALLBACK StationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* context = reinterpret_cast<DialogContext*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ApplyDialogInitData(dialog, context->module);
        FieldsToControls(dialog, *context->fields);
        return TRUE; // the focus goes to the first control with a tab stop
    }
    case WM_COMMAND: {
        auto* context = reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDOK && context != nullptr) {
            ControlsToFields(dialog, *context->fields);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) { // CANCEL, Escape and the close box
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

int Win32StationDialog::Run(StationDialogFields& fields) {
    // The dialog edits a copy, so that anything but OK leaves the fields alone.
    StationDialogFields edited = fields;
    DialogContext context{module_, &edited};
    const INT_PTR result = DialogBoxParamA(module_, MAKEINTRESOURCEA(IDD_STATION_DETAILS), nullptr,
                                           StationDialogProc, reinterpret_cast<LPARAM>(&context));
    if (result == IDOK) {
        fields = std::move(edited);
        return kDialogOk;
    }
    return result == -1 ? kDialogFailed : kDialogCancel;
}

} // namespace stats
