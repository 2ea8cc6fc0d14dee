#include "music/player_state.h"

#include <memory>

PlayerState::PlayerState() = default;

PlayerState Player;

void RestorePlayerStartState()
{
    std::destroy_at(&Player);
    std::construct_at(&Player);
}
