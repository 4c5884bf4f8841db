#include "realestate/estate_agent.h"

#include <optional>

#include "core/player.h"

namespace corvalen {
namespace {

constexpr std::int32_t kMostPocketMoney = 20;
constexpr std::int32_t kGroupFormation = 1;
constexpr float kGroupSeparation = 50.0f;
constexpr std::int32_t kCalmBehaviour = 0;
constexpr std::int32_t kLeavingBehaviour = 3;
constexpr float kNoRoaming = 0.0f;
constexpr float kLeavingRoaming = 50.0f;
constexpr std::int32_t kAgentWeapon = 9;
constexpr std::int32_t kAgentAmmunition = 50;
constexpr std::int32_t kAgentHealth = 200;
constexpr std::int32_t kLeavingHealth = 500;
constexpr std::int32_t kBlipDisplay = 2;
constexpr std::int32_t kBlipColour = 3;
constexpr float kBlipScale = 0.7f;
constexpr const char* kThanks = "THANKS";

// A transform standing upright at a point.
host::Matrix standing_at(host::Vec3 at) {
    host::Matrix transform;
    transform.rows[0][0] = 1.0f;
    transform.rows[1][1] = 1.0f;
    transform.rows[2][2] = 1.0f;
    transform.rows[3][0] = at.x;
    transform.rows[3][1] = at.y;
    transform.rows[3][2] = at.z;
    transform.rows[3][3] = 1.0f;
    return transform;
}

// The pedestrian of a loaded model at `at`; 0 when the host made none.
host::Handle create_pedestrian(std::int32_t model_index, host::Vec3 at) {
    std::uint32_t object = host::create_pedestrian_object(model_index, standing_at(at));
    if (object == 0)
        return 0;
    host::finish_object_creation(object);
    return host::character_handle_of(object);
}

}  // namespace

bool EstateAgent::spawn(Dice& dice) {
    // One agent at a time: an earlier one would be left to the host for good.
    if (present())
        dismiss(0);

    std::uint32_t model = kModels[static_cast<std::size_t>(
        roll(dice, 0, static_cast<std::int32_t>(kModels.size()) - 1))];
    std::int32_t model_index = host::load_model_now(model);
    if (model_index < 0)
        return false;
    std::optional<host::Vec3> player = player_position();
    if (!player)
        return false;
    std::optional<host::Vec3> spot = host::spawn_point_near(*player);
    if (!spot)
        return false;
    host::Handle agent = create_pedestrian(model_index, *spot);
    if (agent == 0)
        return false;

    host::set_character_money(agent, roll(dice, 0, kMostPocketMoney));
    std::int32_t player_index = host::player_index();
    host::Handle group = host::player_group(host::cash_player(player_index));
    host::add_to_group(group, agent);
    host::set_group_formation(group, kGroupFormation);
    host::set_group_separation(group, kGroupSeparation);
    host::claim_character(agent);
    host::set_group_leader(group, host::player_character(player_index));
    host::set_player_group_follows(player_index, true);
    host::set_character_flees(agent, false);
    host::set_character_behaviour(agent, kCalmBehaviour);
    host::set_character_roaming(agent, kNoRoaming);
    host::give_weapon(agent, kAgentWeapon, kAgentAmmunition);
    host::set_character_health(agent, kAgentHealth);
    host::set_character_armour(agent, kAgentHealth);

    remove_blip();
    blip = host::add_character_blip(agent);
    if (blip != 0) {
        host::set_blip_display(blip, kBlipDisplay);
        host::set_blip_colour(blip, kBlipColour);
        host::set_blip_scale(blip, kBlipScale);
    }
    handle = agent;
    return true;
}

void EstateAgent::dismiss(std::int32_t amount) {
    remove_blip();
    if (handle == 0)
        return;
    if (!host::character_exists(handle)) {
        handle = 0;
        return;
    }
    if (!host::character_injured(handle) && !host::character_dead(handle)) {
        host::set_character_money(handle, amount);
        host::leave_group(handle);
        host::stop_following(handle);
        host::set_character_behaviour(handle, kLeavingBehaviour);
        host::clear_character_orders(handle);
        host::set_character_roaming(handle, kLeavingRoaming);
        host::order_walk_away(handle);
        host::say(handle, kThanks);
        host::set_character_health(handle, kLeavingHealth);
        host::set_character_armour(handle, kLeavingHealth);
    }
    host::release_character(handle);
    handle = 0;
}

bool EstateAgent::lost() const {
    if (handle == 0)
        return false;
    if (!host::character_exists(handle))
        return true;
    return host::character_dead(handle) || host::character_left(handle, player_character());
}

void EstateAgent::forget() {
    handle = 0;
    blip = 0;
}

void EstateAgent::remove_blip() {
    if (blip == 0)
        return;
    host::remove_blip(blip);
    blip = 0;
}

}  // namespace corvalen
