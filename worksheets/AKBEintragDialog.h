#pragma once
// UpdateAKBEintrag: the entry dialog of one span of the staff demand - weekday and week of its
// begin and end, the times, per day or continuous, and the head count. Modal on the calling thread.
#include <cstdint>

struct CAKBEintrag;

// Shows the span; on OK writes BEGINN, ENDE and ANZAHL, raises `weeks` to the last week chosen
// and sets `continuous` (1 continuous, 0 per day). Returns the response (also in LastResponse).
// The week spins reach the larger of 8 and `weeks`.
int UpdateAKBEintrag(CAKBEintrag& span, int32_t& weeks, uint8_t& continuous);
