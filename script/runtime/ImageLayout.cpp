// The image layout reader: one checked sequential reader over the image bytes and the record
// readers built on it.
#include "ImageLayout.h"

#include "ImageFormat.h"

#include <algorithm>

namespace lumivar::script {
namespace {

// Sequential reads that never pass the end; the first fault is kept and every later read fails.
class TImageReader {
public:
    explicit TImageReader(std::string_view bytes) : Bytes_(bytes) {}

    bool U8(std::uint8_t& out) {
        if (!Need(1)) return false;
        out = static_cast<std::uint8_t>(Bytes_[Pos_++]);
        return true;
    }
    bool U32(std::uint32_t& out) {
        if (!Need(4)) return false;
        out = 0;
        for (int i = 3; i >= 0; --i)
            out = (out << 8) | static_cast<std::uint8_t>(Bytes_[Pos_ + i]);
        Pos_ += 4;
        return true;
    }
    bool Text(std::size_t length, std::string& out) {
        if (!Need(length)) return false;
        out.assign(Bytes_.substr(Pos_, length));
        Pos_ += length;
        return true;
    }
    bool LongText(std::string& out) {
        std::uint32_t length;
        return U32(length) && Text(length, out);
    }
    bool ShortText(std::string& out) {
        std::uint8_t length;
        return U8(length) && Text(length, out);
    }
    // A count of records that each take at least `minSize` bytes must fit in what remains.
    bool Count(std::uint32_t count, std::size_t minSize) {
        return Need(std::size_t(count) * minSize);
    }
    // Reports a fault of another kind at the current offset.
    bool Refuse(TExecError code, std::string param = {}) {
        if (!Fault_) Fault_ = {code, std::move(param), Pos_};
        return false;
    }

    std::size_t Pos() const { return Pos_; }
    std::size_t Size() const { return Bytes_.size(); }
    TImageFault TakeFault() { return std::move(Fault_); }

private:
    bool Need(std::size_t n) {
        if (Fault_) return false;
        if (n > Bytes_.size() - Pos_) return Refuse(TExecError::UnexpectedEnd);
        return true;
    }

    std::string_view Bytes_;
    std::size_t Pos_ = 0;
    TImageFault Fault_;
};

bool ReadHeader(TImageReader& r, std::string_view image, TImageLayout& layout) {
    const std::string_view magic = image.substr(0, kImageMagic.size());
    if (magic != kImageMagic.substr(0, magic.size())) return r.Refuse(TExecError::InvalidHeader);
    std::string read;
    if (!r.Text(kImageMagic.size(), read) || !r.U32(layout.Version)) return false;
    if (layout.Version != kImageVersion) return r.Refuse(TExecError::WrongVersion);
    if (!r.U32(layout.TypeCount) || !r.U32(layout.ProcCount) || !r.U32(layout.VarCount) ||
        !r.U32(layout.MainProc) || !r.U32(layout.Reserved))
        return false;
    layout.HeaderRead = true;
    return true;
}

// A type number inside a type record must name an earlier type.
bool EarlierType(TImageReader& r, std::uint32_t number, std::size_t self) {
    return number < self || r.Refuse(TExecError::InvalidType);
}

bool ReadTypes(TImageReader& r, TImageLayout& layout) {
    if (!r.Count(layout.TypeCount, 1)) return false;
    layout.Types.reserve(layout.TypeCount);
    std::vector<std::size_t> depth; // nesting depth of every type read so far
    depth.reserve(layout.TypeCount);
    for (std::size_t i = 0; i < layout.TypeCount; ++i) {
        TImageTypeRecord t;
        std::uint8_t kindByte;
        if (!r.U8(kindByte)) return false;
        t.Kind = std::uint8_t(kindByte & ~kTypeHasExportName);
        t.HasExportName = (kindByte & kTypeHasExportName) != 0;
        if (t.Kind == vkReturnAddress || t.Kind >= kValueKindCount)
            return r.Refuse(TExecError::InvalidType);
        std::size_t d = 1;
        if (t.Kind == vkArray) {
            if (!r.U32(t.ElementType) || !EarlierType(r, t.ElementType, i)) return false;
            d = depth[t.ElementType] + 1;
        } else if (t.Kind == vkRecord) {
            std::uint32_t fieldCount;
            if (!r.U32(fieldCount) || !r.Count(fieldCount, 4)) return false;
            t.FieldTypes.resize(fieldCount);
            for (std::uint32_t& field : t.FieldTypes) {
                if (!r.U32(field) || !EarlierType(r, field, i)) return false;
                d = std::max(d, depth[field] + 1);
            }
        }
        if (d > kMaxTypeDepth) return r.Refuse(TExecError::InvalidType);
        if (t.HasExportName && !r.LongText(t.ExportName)) return false;
        depth.push_back(d);
        layout.Types.push_back(std::move(t));
    }
    return true;
}

bool ReadProcs(TImageReader& r, TImageLayout& layout) {
    if (!r.Count(layout.ProcCount, 1)) return false;
    layout.Procs.reserve(layout.ProcCount);
    for (std::size_t i = 0; i < layout.ProcCount; ++i) {
        TImageProcRecord p;
        if (!r.U8(p.Flags)) return false;
        if (p.Flags > (kProcImported | kProcHasExtra)) return r.Refuse(TExecError::Internal);
        if (p.Flags & kProcImported) {
            if (!r.ShortText(p.Name)) return false;
            if ((p.Flags & kProcHasExtra) && !r.LongText(p.Declaration)) return false;
        } else {
            if (!r.U32(p.CodeOffset) || !r.U32(p.CodeLength)) return false;
            if ((p.Flags & kProcHasExtra) && (!r.LongText(p.Name) || !r.LongText(p.Declaration)))
                return false;
        }
        layout.Procs.push_back(std::move(p));
    }
    return true;
}

bool ReadVars(TImageReader& r, TImageLayout& layout) {
    if (!r.Count(layout.VarCount, 5)) return false;
    layout.Vars.reserve(layout.VarCount);
    for (std::size_t i = 0; i < layout.VarCount; ++i) {
        TImageVarRecord v;
        std::uint8_t flag;
        if (!r.U32(v.Type)) return false;
        if (v.Type >= layout.TypeCount) return r.Refuse(TExecError::InvalidType);
        if (!r.U8(flag)) return false;
        if (flag > 1) return r.Refuse(TExecError::Internal);
        v.HasExportName = flag == 1;
        if (v.HasExportName && !r.LongText(v.ExportName)) return false;
        layout.Vars.push_back(std::move(v));
    }
    layout.CodeStart = r.Pos();
    return true;
}

bool CheckCode(TImageReader& r, const TImageLayout& layout) {
    for (const TImageProcRecord& p : layout.Procs)
        if (!(p.Flags & kProcImported) && std::uint64_t(p.CodeOffset) + p.CodeLength > r.Size())
            return r.Refuse(TExecError::UnexpectedEnd);
    if (layout.MainProc != kNoMainProc && layout.MainProc >= layout.ProcCount)
        return r.Refuse(TExecError::Internal);
    return true;
}

} // namespace

TImageFault ReadImageLayout(std::string_view image, TImageLayout& layout) {
    layout = {};
    TImageReader r(image);
    if (ReadHeader(r, image, layout) && ReadTypes(r, layout) && ReadProcs(r, layout) &&
        ReadVars(r, layout))
        CheckCode(r, layout);
    return r.TakeFault();
}

} // namespace lumivar::script
