// TScriptCompiler: one script text in, one compiled image (or messages) out. The owner sets the
// flags and callbacks, calls Compile, and reads the image, the messages and the debug records.
// The host registers its types and procedures from inside OnUses, in script-language text.
// Nothing is thrown for a bad script: every problem is a message, and the first error ends the
// compile. The compiler's working state lives behind one pointer (TCompilerCore).
#pragma once

#include "script/compiler/CompilerModel.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lumivar::script {

struct TIFPSPascalCompilerMessage;
class TIFPSClassType;
class TCompilerCore;

class TScriptCompiler {
public:
    // Callbacks get the compiler first. OnUses: supply the unit ("SYSTEM" once per compile,
    // then every name of a USES clause); false stops the compile without a message, a
    // std::exception becomes error 36 with its text.
    using TOnUses = std::function<bool(TScriptCompiler&, const std::string& unitName)>;
    // Asked for every script procedure after a successful parse, with the readable declaration
    // (e.g. "BOOLEAN @LONGINT !STRING"); false fails the compile without a message.
    using TOnExportCheck =
        std::function<bool(TScriptCompiler&, const TIFPSProcedure&, const std::string& decl)>;
    // Resolves "procedure X; external 'text';": a new registration, or null to refuse (error 36).
    using TOnExternalProc = std::function<std::unique_ptr<TIFPSRegProc>(
        TScriptCompiler&, const std::string& name, const std::string& decl, const std::string& text)>;
    // Told at every declaration and use of a variable: kind 0 global, 1 parameter or function
    // result (0 = result; parameters count from 1 in functions, from 0 in procedures), 2 local.
    using TOnUseVariable = std::function<void(TScriptCompiler&, std::uint8_t kind, std::uint32_t index,
                                              std::int32_t procNo, std::uint32_t position)>;
    // Asked before each statement position record; false leaves the record out.
    using TOnWriteLine = std::function<bool(TScriptCompiler&, std::uint32_t position)>;

    TScriptCompiler();
    ~TScriptCompiler();
    TScriptCompiler(const TScriptCompiler&) = delete;
    TScriptCompiler& operator=(const TScriptCompiler&) = delete;

    TOnUses OnUses;
    TOnExportCheck OnExportCheck;
    TOnExternalProc OnExternalProc;
    TOnUseVariable OnUseVariable;
    TOnWriteLine OnWriteLine;

    bool AllowNoBegin = false; // a top-level "END." without a main block is accepted
    bool AllowNoEnd = false;   // the end of the text may stand for the final "end."
    bool AllowUnit = false;    // the UNIT header is accepted

    // True when an image was produced. Messages, image and debug records of the previous
    // compile are dropped first. A call from a callback of a compile under way does nothing
    // and returns false.
    bool Compile(const std::string& text);
    // False when there is no image (image is then left as it was).
    bool GetOutput(std::string& image) const;
    std::size_t MessageCount() const;
    const TIFPSPascalCompilerMessage* GetMessage(std::size_t index) const; // null when out of range
    const std::string& GetDebugOutput() const;
    bool IsUnit() const; // the last text began with UNIT

    // Registration, only while a compile is under way (from OnUses); otherwise each returns
    // null or -1 and does nothing. Names are upper-cased; Types indices are returned.
    TIFPSType* AddType(const std::string& name, std::uint8_t baseType);
    TIFPSType* AddTypeFromDecl(const std::string& name, const std::string& decl); // null when invalid
    TIFPSRegProc* AddFunctionFromDecl(const std::string& decl);                   // null when invalid
    TTypeNo FindType(const std::string& name) const;
    TIFPSConstant* AddConstant(const std::string& name, TTypeNo type);            // null for -1
    // A host class type (kind 0x80); the type record owns the object.
    TIFPSType* AddClassType(const std::string& name, std::unique_ptr<TIFPSClassType> object);
    // For class type objects: the procedure number of a script or registered procedure
    // (a registered one is imported on first use), and the UsedTypes number of a Types index.
    std::int32_t FindProc(const std::string& name);
    TTypeNo UseType(TTypeNo typesIndex);

private:
    std::unique_ptr<TCompilerCore> Core;
};

} // namespace lumivar::script
