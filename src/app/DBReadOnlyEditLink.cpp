#include "app/DBReadOnlyEditLink.h"

#include "app/DBReadOnlyEdit.h"

void TDBReadOnlyEditLink::ActiveChanged() { FEdit->UpdateText(); }
void TDBReadOnlyEditLink::DataSetChanged() { FEdit->UpdateText(); }
void TDBReadOnlyEditLink::DataSetScrolled(int) { FEdit->UpdateText(); }
void TDBReadOnlyEditLink::LayoutChanged() { FEdit->UpdateText(); }
void TDBReadOnlyEditLink::RecordChanged(TField*) { FEdit->UpdateText(); }
