// The journey from the bench's CD folder in Q:.
#include "journey.h"

using e2e::Journey;

TEST_F(Journey, InstallPlayUpgradeTwiceMoveWithTheSavesAndRemove)
{
    walk();
}
