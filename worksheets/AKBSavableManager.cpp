#include "worksheets/AKBSavableManager.h"

#include <cstdlib>

ISavable& CAKBSavableManager::Savable() { std::abort(); }
void CAKBSavableManager::SaveAsOnlyStep() { (void)AKB; }
