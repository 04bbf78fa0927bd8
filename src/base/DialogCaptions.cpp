#include "base/DialogCaptions.h"

#include "base/BindTexts.h"

#include <array>

namespace {

// Bound once, when the module is first used, and kept for the run.
const std::array<QString, DialogCaptionCount>& Captions()
{
    static const std::array<QString, DialogCaptionCount> captions = [] {
        static constexpr std::array<const char*, DialogCaptionCount> texts{
            "Warning", "Error", "Information", "Confirm",
            "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "N&o to All", "Yes to &All",
            "&Help", "&Close",
            "&Jā", "&Nē", "&Labi", "&Atcelt", "Pā&rtraukt", "A&tkārtot", "&Ignorēt", "&Viss", "&Nē, visiem",
            "&Jā, visiem", "&Palīgā!"};
        return BindTexts(texts);
    }();
    return captions;
}

} // namespace

QString DialogCaption(TDialogCaption caption)
{
    return Captions().at(static_cast<std::size_t>(caption));
}
