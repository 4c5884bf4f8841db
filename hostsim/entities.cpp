#include "hostsim/entities.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "hostsim/host_abi.h"

namespace hostsim {
namespace {

constexpr float kDegreesToRadians = std::numbers::pi_v<float> / 180.0f;

}  // namespace

float distance(Vec3 a, Vec3 b) {
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    float dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float horizontal_distance(Vec3 a, Vec3 b) {
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

EntityObject::EntityObject(std::uint32_t size) : size_(size), bytes_(new std::uint8_t[size]()) {
    std::uint32_t matrix = address() + kObjectMatrixStorage;
    std::memcpy(bytes_.get() + kObjectMatrixPointer, &matrix, sizeof(matrix));
    matrix_storage()[15] = 1.0f;
    set_heading(0.0f);
}

std::uint32_t EntityObject::address() const {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(bytes_.get()));
}

void EntityObject::set_byte(std::uint32_t offset, std::uint8_t value) {
    if (offset < size_)
        bytes_[offset] = value;
}

float* EntityObject::matrix_storage() const {
    return reinterpret_cast<float*>(bytes_.get() + kObjectMatrixStorage);
}

const float* EntityObject::matrix() const {
    return matrix_storage();
}

Vec3 EntityObject::position() const {
    const float* m = matrix_storage();
    return {m[kMatrixPositionRow], m[kMatrixPositionRow + 1], m[kMatrixPositionRow + 2]};
}

void EntityObject::set_position(Vec3 position) {
    float* m = matrix_storage();
    m[kMatrixPositionRow] = position.x;
    m[kMatrixPositionRow + 1] = position.y;
    m[kMatrixPositionRow + 2] = position.z;
}

void EntityObject::set_heading(float degrees) {
    degrees = std::fmod(degrees, 360.0f);
    if (degrees < 0.0f)
        degrees += 360.0f;
    heading_ = degrees;
    float c = std::cos(degrees * kDegreesToRadians);
    float s = std::sin(degrees * kDegreesToRadians);
    float* m = matrix_storage();
    const float rows[12] = {c, s, 0.0f, 0.0f, -s, c, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f};
    std::memcpy(m, rows, sizeof(rows));
}

void EntityObject::set_from_matrix(const float* matrix) {
    // The forward row gives the heading; a matrix without rotation (all zero
    // apart from the position, as the plug-in builds them) faces north.
    float forward_x = matrix[4];
    float forward_y = matrix[5];
    float heading = 0.0f;
    if (forward_x != 0.0f || forward_y != 0.0f) {
        heading = std::atan2(-forward_x, forward_y) / kDegreesToRadians;
    }
    set_heading(heading);
    set_position({matrix[kMatrixPositionRow], matrix[kMatrixPositionRow + 1],
                  matrix[kMatrixPositionRow + 2]});
}

Character::Character(std::int32_t handle, std::uint32_t model)
    : handle(handle), model(model), object(kCharacterObjectSize) {}

Vehicle::Vehicle(std::int32_t handle, std::uint32_t model, int passenger_seats)
    : handle(handle),
      model(model),
      object(kVehicleObjectSize),
      passengers(static_cast<std::size_t>(passenger_seats), 0) {
    set_up_vehicle_fields(object, model);
    object.set_byte(kVehicleSeatCountOffset, static_cast<std::uint8_t>(passenger_seats));
}

}  // namespace hostsim
