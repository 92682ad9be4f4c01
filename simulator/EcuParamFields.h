#pragma once
// The simulation parameter dialog's fields without widgets: every control's id, label, kind
// and limit, how a field is shown, and what a typed text or a chosen item writes into the
// record copy (with the side effects and refusals the dialog shows).
#include <cstdint>
#include <string>
#include <vector>

#include "pages/shared/PageStatus.h"
#include "simulator/RespondTable.h"

enum class EcuParamKind { Choice, Decimal, Hex };
enum class EcuParamGroup { KLine, Iso9141, Iso14230, J1850, Can };

struct EcuParamField {
    int id;
    EcuParamGroup group;
    const char* label;
    const char* unit;  // "ms" after the edit, or ""
    EcuParamKind kind;
    int limit;                         // characters (edits)
    std::vector<const char*> choices;  // items (lists)
};
// In the order the dialog lays them out.
const std::vector<EcuParamField>& EcuParamFields();

// Control ids with a meaning of their own.
enum EcuParamId : int {
    IDC_PARA_VPW_FUNC_REQ = 1021, IDC_PARA_VPW_PHYS_REQ = 1019,
    IDC_PARA_PWM_FUNC_REQ = 1025, IDC_PARA_PWM_PHYS_REQ = 1023,
    IDC_PARA_FC_DATA = 1011, IDC_PARA_VPW_ADDRESSES = 1279, IDC_PARA_PWM_ADDRESSES = 1280,
    IDC_PARA_OBD2_DEFAULT = 1278,
};

// An edit's text, and a list's item, as the record holds them.
std::string EcuParamText(const EcuSimParams& params, int id);
int EcuParamChoice(const EcuSimParams& params, int id);
void SetEcuParamChoice(EcuSimParams& params, int id, int item);

// What a typed text did besides writing its field: the edit's new text (when the text was
// refused in part) and the message to show, as every page's fields tell it.
using EcuParamEdit = PageEditResult;
EcuParamEdit SetEcuParamText(EcuSimParams& params, int id, const std::string& text);

// The statics under the VPW and PWM columns: at opening (changed false) and after a request
// header of that flavour changed.
std::string J1850AddressText(const EcuSimParams& params, bool pwm, bool changed);
// Whether a change of this field rewrites the VPW (1279) or PWM (1280) static; 0 for neither.
int AddressStaticOf(int id);

// "OBD2默认": the defaults, sparing the flavour and the id kind the protocol choice owns.
void SetDefaultParams(EcuSimParams& params);

extern const char* const kParaTextCancelQuestion;  // "确定取消对相关参数的更改吗?"
