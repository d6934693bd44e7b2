#pragma once
// The defaults, warning limits and error limits of the installed configuration read into their
// record buffers (the program files must be named first), and RB and KRI set to the defaults: what
// the definitions dialog starts from.
#include "core/Files.h"
#include "platform/fw/FwFileManager.h"
#include "platform/records/RecordFile.h"

#include <gtest/gtest.h>

inline void ReadInstalledDefaults()
{
    for (FwFileManager* a : {Access::RBDEFAULT, Access::RBWARN, Access::RBFEHLER, Access::KRIDEFAULT}) {
        ASSERT_EQ(a->TryOpen(), 0);
        FileSet(*a->File());
        ASSERT_EQ(a->TryNext(), 0);
        a->Close();
    }
    RB.CopyFrom(RBDEFAULT);
    KRI.CopyFrom(KRIDEFAULT);
}
