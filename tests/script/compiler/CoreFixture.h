// A compiler core in the state of a compile under way (standard types declared, scanner on a
// given text), so that single readers and type rules can be run and their results inspected
// before the compile lists are dropped.
#pragma once

#include "script/compiler/CompilerCore.h"
#include "script/compiler/ScriptCompiler.h"

#include <memory>
#include <string>

namespace lumivar::script::test {

class CoreFixture {
public:
    CoreFixture() : Core(Owner) {
        Core.Lists = std::make_unique<TCompileLists>();
        Core.DeclareStandardTypes();
    }

    // Runs f on the core; false when it failed with a compile error.
    template <typename F> bool Run(F&& f) {
        try {
            f(Core);
            return true;
        } catch (const TCompileFailure&) {
            return false;
        }
    }

    const TIFPSConstant* Constant(const std::string& upperName) const {
        for (const auto& c : Core.Lists->Constants)
            if (c->Name == upperName) return c.get();
        return nullptr;
    }

    TScriptCompiler Owner;
    TCompilerCore Core;
};

} // namespace lumivar::script::test
