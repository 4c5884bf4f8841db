#include "core/mod.h"

#include <array>
#include <optional>

#include "core/backups.h"
#include "core/player.h"
#include "host/host_game.h"

namespace corvalen {
namespace {

using host::ScanCode;

// Runs one step of the tick so that a failure inside it (a full disk, memory
// running out) costs that step only: the other features still run and the
// next frame starts afresh. Nothing may unwind into the host.
template <typename Step>
void contained(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

constexpr float kDeveloperVehicleRadius = 20.0f;

// The six feature menus in the order of the main menu's actions, which start
// at kOpenRealEstate.
std::array<Menu*, 6> feature_menus(Mod& mod) {
    return {&mod.real_estate.menu, &mod.public_parking.menu, &mod.auto_service.editor_menu,
            &mod.bus.editor_menu,  &mod.boat.editor_menu,    &mod.ship.editor_menu};
}

}  // namespace

Mod::Mod()
    : real_estate(""),
      public_parking(""),
      config(data_path(data_folder, kConfigFileName)),
      auto_service(&config),
      bus(ServiceMode::Bus, &config),
      boat(ServiceMode::Boat, &config),
      ship(ServiceMode::Ship, &config),
      save_tracker(data_folder, host::game_timer(), host::wall_clock_now()),
      main_menu("Corvalen mod") {
    // Both garages read and restore odometer values through the fuel model.
    auto_service.stations.fuel = &auto_service.fuel;
    real_estate.apply_config(&config);
    real_estate.garage.owner = &auto_service.fuel;
    public_parking.garage.owner = &auto_service.fuel;

    main_menu.add_item("Real State Department", kOpenRealEstate);
    main_menu.add_item("Public Parking", kOpenParking);
    main_menu.add_item("Auto Service", kOpenAutoService);
    main_menu.add_item("Bus Service", kOpenBus);
    main_menu.add_item("Boat Service", kOpenBoat);
    main_menu.add_item("Ship Service", kOpenShip);
}

bool Mod::check_save_identity(std::int64_t now, bool host_stopped_playing) {
    std::int32_t identity = host::stat_int(host::Stat::SaveIdentity);
    if (identity < 1) {
        std::optional<std::int32_t> fresh =
            save_tracker.identity_for_new_game(now, host_stopped_playing);
        if (!fresh) {
            // Forgetting the last save's identity makes the game that
            // finally gets one, or that save loaded again, reload.
            save_tracker.save_identity = 0;
            return false;
        }
        identity = *fresh;
        host::set_stat_int(host::Stat::SaveIdentity, identity);
    }
    if (identity != save_tracker.save_identity) {
        save_tracker.save_identity = identity;
        save_tracker.reload_needed = true;
    }
    return true;
}

void Mod::frame_tick() {
    SaveTracker& tracker = save_tracker;
    std::uint32_t timer = host::game_timer();

    tracker.reload_needed = false;
    if (!tracker.started) {
        tracker.started = true;
        tracker.reload_needed = true;
    }
    bool not_playing = host::host_not_playing();
    std::int64_t now = host::wall_clock_now();
    // A save or a load begins with the host leaving play.
    bool stopped_playing = not_playing && !tracker.last_not_playing;
    bool has_identity = check_save_identity(now, stopped_playing);

    // Elapsed time in wrap-around arithmetic: a timer that went backwards
    // reads as a huge step, while the counter's own wrap after 49 days does
    // not pass for a jump.
    if (not_playing && timer - tracker.last_game_timer > SaveTracker::kTimeJumpLimit) {
        tracker.reload_needed = true;
    }

    tracker.save_due = false;
    if (not_playing && now > tracker.next_save_time) {
        tracker.save_due = true;
        tracker.next_save_time = now + tracker.save_interval;
    }
    tracker.last_game_timer = timer;
    tracker.last_not_playing = not_playing;

    // A game without identity has no folder of its own: whatever the mod
    // loaded, saved or changed now would belong to some other save. A later
    // tick tries again once a number may have come free.
    if (!has_identity)
        return;
    if (tracker.reload_needed) {
        reload_all();
        return;
    }
    if (not_playing) {
        // A save at a property is a save the player chose to make now: the
        // per-save files go with it, however recent the last autosave.
        bool property_save = false;
        contained([&] { property_save = real_estate.note_host_not_playing(); });
        // Either save starts the spacing afresh, or the regular autosave could
        // follow a frame later and rotate the backups a second time.
        if (property_save)
            tracker.next_save_time = now + tracker.save_interval;
        if (tracker.save_due || property_save)
            save_all();
        return;
    }
    interactive_frame();
}

void Mod::reload_all() {
    contained([&] {
        check_save_identity(host::wall_clock_now(), false);
        save_identity_text = std::to_string(save_tracker.save_identity);
    });
    contained([&] {
        real_estate.set_save_identity(save_identity_text);
        public_parking.set_save_identity(save_identity_text);
    });
    contained([&] {
        auto_service.load_stations();
        auto_service.fuel.forget_vehicles();
        // The vehicle the controls last worked belongs to the world before.
        auto_service.controls = VehicleControls();
        auto_service.stations.notice.until = 0;
    });
    contained([&] {
        real_estate.load_houses();
        real_estate.garage.read_car_file_after_load();
    });
    contained([&] { real_estate.restore_saved_position(); });
    contained([&] {
        real_estate.garage_highlight.deadline = 0;
        public_parking.load_lots();
        public_parking.garage.read_car_file_after_load();
        public_parking.message.until = 0;
    });
    contained([&] {
        bus.reset_spawning();
        boat.reset_spawning();
        ship.reset_spawning();
    });
}

void Mod::save_all() {
    contained([&] {
        rotate_backups(data_path(data_folder, save_identity_text),
                       config.get(settings::keep_backups));
    });
    contained([&] { real_estate.save_owned_houses(); });
    contained([&] { real_estate.garage.write_car_file(); });
    contained([&] { public_parking.garage.write_car_file(); });
}

void Mod::interactive_frame() {
    // The host plays again: a save screen that the real estate opened is over
    // and its save written, or the player backed out of it.
    contained([&] { real_estate.clear_saved_position(); });
    if (host::key_pressed(ScanCode::F12)) {
        main_menu.toggle();
        for (Menu* menu : feature_menus(*this))
            menu->close();
    }
    if (host::key_pressed(ScanCode::F11)) {
        if (std::optional<host::Matrix> matrix = host::player_matrix()) {
            host::Vec3 at = matrix->position();
            contained([&] { real_estate.save_at(at.x, at.y, at.z); });
        }
    }

    main_menu.process();
    open_feature_menu(main_menu.selected_action());

    contained([&] { developer_hotkeys(); });
    contained([&] { auto_service.tick(); });
    contained([&] { real_estate.tick(); });
    contained([&] { public_parking.tick(); });
    contained([&] { bus.tick(); });
    contained([&] { boat.tick(); });
    contained([&] { ship.tick(); });
}

void Mod::open_feature_menu(std::int32_t action) {
    if (action < kOpenRealEstate || action > kOpenShip)
        return;
    feature_menus(*this)[static_cast<std::size_t>(action - kOpenRealEstate)]->toggle();
    main_menu.toggle();
}

void Mod::developer_hotkeys() {
    if (host::key_pressed(ScanCode::G)) {
        host::Handle character = player_character();
        if (host::character_in_any_vehicle(character)) {
            host::character_leave_vehicle(character, host::character_vehicle(character));
        } else if (std::optional<host::Vec3> at = player_position()) {
            host::Handle vehicle = nearest_vehicle(at->x, at->y, at->z, kDeveloperVehicleRadius);
            if (vehicle != 0) {
                std::int32_t seats = host::vehicle_seat_count(vehicle);
                std::int32_t seat = 0;
                for (std::int32_t i = 0; i < seats; ++i) {
                    if (host::vehicle_seat_free(vehicle, i)) {
                        seat = i;
                        break;
                    }
                }
                host::character_enter_vehicle(character, vehicle, seat);
            }
        }
    }
    if (host::key_held(ScanCode::LeftAlt) && host::key_pressed(ScanCode::X)) {
        developer_toggle = !developer_toggle;
        host::Handle character = player_character();
        if (developer_toggle) {
            host::developer_effect_on(character);
        } else {
            host::developer_effect_off(character);
        }
    }
}

}  // namespace corvalen
