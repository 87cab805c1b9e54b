#include "core/terminal/dialect.h"

namespace quill {

namespace {

using DialectFactory = std::unique_ptr<Dialect> (*)(const DialectParts&);

// The registration: one factory for each DialectId, in its order.
constexpr std::array<DialectFactory, kDialectCount> kRegistered{
    MakeVt100Dialect,
    MakeXtermDialect,
    MakeBbsDialect,
};

}  // namespace

Dialects::Dialects(const DialectParts& parts) {
    for (std::size_t i = 0; i < kDialectCount; ++i) dialects_[i] = kRegistered[i](parts);
}

}  // namespace quill
