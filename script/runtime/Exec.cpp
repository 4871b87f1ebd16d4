// The executor's life: registration, loading an image into the runtime tables, the run loop,
// and error reporting through SetError. The instructions are in Interpreter.cpp, returns and try
// blocks in TryFrames.cpp.
#include "Exec.h"

#include "ImageLayout.h"
#include "Names.h"

#include <exception>
#include <new>

namespace lumivar::script {

TScriptExec::TScriptExec() = default;

TScriptExec::~TScriptExec() {
    Unload();
}

bool TScriptExec::RegisterProc(std::string_view name, TProcHandler handler,
                               std::string declaration) {
    name = name.substr(0, kMaxProcNameLength);
    if (FindRegisteredProc(name)) return false;
    TIFRegisteredProc proc;
    proc.Name = std::string(name);
    proc.NameHash = MakeHash(name);
    proc.Handler = std::move(handler);
    proc.Declaration = std::move(declaration);
    RegisteredProcs_.push_back(std::move(proc));
    return true;
}

const TIFRegisteredProc* TScriptExec::FindRegisteredProc(std::string_view name) const {
    const std::uint32_t hash = MakeHash(name);
    for (const TIFRegisteredProc& p : RegisteredProcs_)
        if (p.NameHash == hash && p.Name == name) return &p;
    return nullptr;
}

std::uint32_t TScriptExec::ProcNumber(const TIFProcEntry* proc) const {
    if (!proc || ProcList_.empty() || proc < ProcList_.data() ||
        proc >= ProcList_.data() + ProcList_.size())
        return kNoProc;
    return std::uint32_t(proc - ProcList_.data());
}

void TScriptExec::Unload() {
    ReleaseStack();
    TryStack_.clear();
    for (TIFValue* v : GlobalList_)
        ReleaseValue(Pool_, v);
    GlobalList_.clear();
    ProcList_.clear();
    Image_.clear();
    TypeList_.clear();
    MainProc_ = kNoProc;
    CurrentProc_ = nullptr;
    Position_ = 0;
    StackBase_ = -1;
    State_ = TExecState::Unloaded;
}

namespace {

// The runtime type records of an image: one per type record, arrays and records pointing at
// the (earlier) records they name.
void BuildTypes(const TImageLayout& layout, std::deque<TIFTypeRec>& types) {
    for (const TImageTypeRecord& t : layout.Types) {
        TIFTypeRec rec;
        if (t.Kind == vkArray) {
            rec = MakeArrayTypeRec(types[t.ElementType], t.ElementType);
        } else if (t.Kind == vkRecord) {
            std::vector<const TIFTypeRec*> fields;
            fields.reserve(t.FieldTypes.size());
            for (std::uint32_t f : t.FieldTypes)
                fields.push_back(&types[f]);
            rec = MakeRecordTypeRec(std::move(fields));
        } else {
            rec = MakeTypeRec(TValueKind(t.Kind));
        }
        rec.ExportName = t.ExportName;
        types.push_back(std::move(rec));
    }
}

} // namespace

bool TScriptExec::LoadImage(std::string_view image) {
    if (State_ == TExecState::Running) return false;
    Unload();
    SetError(kNoProc, kNoPosition, 0, {});
    TImageLayout layout;
    TImageFault fault;
    try {
        fault = ReadImageLayout(image, layout);
        if (!fault) {
            Image_.assign(image);
            BuildTypes(layout, TypeList_);
            ProcList_.reserve(layout.Procs.size());
            for (const TImageProcRecord& p : layout.Procs) {
                TIFProcEntry entry;
                entry.Imported = (p.Flags & kProcImported) != 0;
                if (entry.Imported) {
                    const TIFRegisteredProc* reg = FindRegisteredProc(p.Name);
                    if (!reg) {
                        fault = {TExecError::CannotImport, p.Name, 0};
                        break;
                    }
                    entry.Name = p.Name;
                    // Name-only imports take the call declaration from their registration.
                    entry.Declaration =
                        (p.Flags & kProcHasExtra) ? p.Declaration : reg->Declaration;
                    entry.Handler = reg->Handler;
                    entry.NativeAddress = reg->NativeAddress;
                    entry.CallingConvention = reg->CallingConvention;
                } else {
                    entry.Code = std::string_view(Image_).substr(p.CodeOffset, p.CodeLength);
                    entry.ExportName = p.Name;
                    entry.ExportDecl = p.Declaration;
                }
                ProcList_.push_back(std::move(entry));
            }
        }
        if (!fault) {
            GlobalList_.reserve(layout.Vars.size());
            for (const TImageVarRecord& v : layout.Vars) {
                TIFValue* value = CreateValue(Pool_, &TypeList_[v.Type]);
                if (!value) {
                    fault = {TExecError::OutOfMemory, {}, 0};
                    break;
                }
                GlobalList_.push_back(value);
            }
        }
    } catch (const std::bad_alloc&) {
        fault = {TExecError::OutOfMemory, {}, 0};
    }
    if (fault) {
        Unload();
        SetError(kNoProc, std::uint32_t(fault.Offset), std::uint8_t(fault.Code), fault.Param);
        return false;
    }
    MainProc_ = layout.MainProc;
    State_ = TExecState::Ready;
    return true;
}

bool TScriptExec::Run() {
    if (State_ == TExecState::Running) return false; // a routine called by the run itself
    TryStack_.clear();
    SetError(kNoProc, kNoPosition, 0, {});
    if (State_ == TExecState::Ready) {
        if (MainProc_ == kNoMainProc) return false;
        State_ = TExecState::Running;
        CurrentProc_ = &ProcList_[MainProc_];
        if (CurrentProc_->Imported) {
            RaiseError(TExecError::NoMainProc);
            State_ = TExecState::Ready;
            return true;
        }
        StackBase_ = -1;
        Position_ = 0;
    } else if (State_ == TExecState::Suspended && CurrentProc_) {
        State_ = TExecState::Running;
    } else {
        return false;
    }
    StepHook();
    // A failed instruction skips the hook; SetError has moved control into a try block, or
    // ended the run when there was none.
    while (State_ == TExecState::Running) {
        bool completed;
        try {
            completed = Step();
        } catch (const std::bad_alloc&) {
            completed = Fail(TExecError::OutOfMemory);
        } catch (const std::exception& e) {
            completed = Fail(TExecError::HostException, e.what());
        }
        if (completed)
            StepHook();
        else if (TryStack_.empty())
            break;
    }
    if (State_ == TExecState::Running)
        State_ = TExecState::Ready; // a SetError override kept it running
    if (State_ == TExecState::Ready) {
        ReleaseStack();
        if (FinishHookEnabled_) FinishHook();
    }
    return true;
}

bool TScriptExec::RunProcedure(std::uint32_t proc) {
    const bool idle =
        State_ == TExecState::Ready || (State_ == TExecState::Suspended && !CurrentProc_);
    if (!idle || proc >= ProcList_.size() || ProcList_[proc].Imported ||
        Stack_.size() >= StackLimit_)
        return false;
    TIFValue* ret = Pool_.Allocate();
    if (!ret) return false;
    ret->Type = &ReturnAddressTypeRec();
    ret->Payload.Return = {nullptr, 0, StackBase_};
    Stack_.push_back(ret);
    StackBase_ = std::int32_t(Stack_.size() - 1);
    CurrentProc_ = &ProcList_[proc];
    Position_ = 0;
    State_ = TExecState::Suspended;
    return Run();
}

void TScriptExec::ReleaseStack() {
    if (State_ == TExecState::Running) return;
    for (TIFValue* v : Stack_)
        ReleaseValue(Pool_, v);
    Stack_.clear();
    StackBase_ = -1;
    if (State_ == TExecState::Suspended) {
        CurrentProc_ = nullptr;
        State_ = TExecState::Ready;
    }
}

void TScriptExec::Stop(TExecError code, std::string param) {
    if (State_ != TExecState::Running) return;
    ErrorProc_ = ProcNumber(CurrentProc_);
    ErrorPosition_ = Position_;
    ErrorCode_ = std::uint8_t(code);
    ErrorParam_ = std::move(param);
    TryStack_.clear();
    State_ = TExecState::Ready;
}

void TScriptExec::RaiseError(TExecError code, std::string param) {
    SetError(ProcNumber(CurrentProc_), Position_, std::uint8_t(code), std::move(param));
}

void TScriptExec::SetError(std::uint32_t proc, std::uint32_t position, std::uint8_t code,
                           std::string param) {
    ErrorProc_ = proc;
    ErrorPosition_ = position;
    ErrorCode_ = code;
    ErrorParam_ = std::move(param);
    if (code == 0 || State_ != TExecState::Running) return;
    while (!TryStack_.empty()) {
        TIFTryFrame& frame = TryStack_.back();
        CutStack(frame.StackSize);
        StackBase_ = frame.StackBase;
        CurrentProc_ = frame.Proc;
        frame.InExcept = false;
        frame.ReturnPos = kNoTryOffset; // an error abandons a return that was running its finally
        for (std::uint32_t* pos : {&frame.FinallyPos, &frame.ExceptPos, &frame.Finally2Pos}) {
            if (*pos == kNoTryOffset) continue;
            Position_ = *pos;
            *pos = kNoTryOffset;
            frame.InExcept = pos == &frame.ExceptPos;
            frame.Error = {code, proc, position, ErrorParam_};
            return; // the error stays pending with the frame while the block runs
        }
        TryStack_.pop_back();
    }
    State_ = TExecState::Ready;
}

void TScriptExec::CutStack(std::size_t size) {
    while (Stack_.size() > size) {
        ReleaseValue(Pool_, Stack_.back());
        Stack_.pop_back();
    }
}

} // namespace lumivar::script
