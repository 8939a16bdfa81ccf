#include "output/MenuScriptLook.h"

#include <stdexcept>

#include "model/LookValues.h"
#include "model/MenuRecords.h"

namespace qm {

namespace {

// The menu parameters, and the box width that reaches the script as window.BeAj.
constexpr std::size_t kScriptFields = kFlMenuMaxWidth + 1;
static_assert(kFlMenuMaxWidth == TAppletData::kMenuParameterCount);

// One text rather than an array: every byte of the head is shipped.
std::string LookDeclaration() {
    std::string defaults;
    for (std::size_t i = 0; i < kScriptFields; ++i) {
        const LookField& field = LookFieldAt(i);
        if (field.defaultValue.find_first_of(",'\\\r\n") != std::string_view::npos)
            throw std::logic_error("the default of " + std::string(field.name) + " cannot stand in the menu script");
        if (i > 0) defaults += ',';
        defaults += field.defaultValue;
    }
    return "const LOOK='" + defaults + "';";
}

}  // namespace

std::string MenuScriptWithLook(std::string_view minifiedScript) {
    return "{" + LookDeclaration() + "\n" + std::string(minifiedScript) + "}\n";
}

std::string MenuScriptFieldPositions() {
    std::string json = "{";
    for (std::size_t i = 0; i < kScriptFields; ++i)
        json += (i ? ",\"FIELD." : "\"FIELD.") + std::string(LookFieldAt(i).codeName) + "\":" + std::to_string(i);
    return json + "}\n";
}

}  // namespace qm
