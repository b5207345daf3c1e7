#include "reminder/ReminderCheck.h"

void ReminderCheck::CheckTermins()
{
}
