#include "app/vector3.h"

#include <cmath>

Vector3 Add(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Vector3 Subtract(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 Scale(Vector3 v, float s) { return {v.x * s, v.y * s, v.z * s}; }

float Length(Vector3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

float Dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 Cross(Vector3 a, Vector3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 Normalize(Vector3 v) {
  const float length = Length(v);
  if (length == 0.0f) {
    return {};
  }
  return Scale(v, 1.0f / length);
}

float Acosf(float x) { return std::acos(x); }
float Cosf(float x) { return std::cos(x); }
float Expf(float x) { return std::exp(x); }
float Powf(float x, float y) { return std::pow(x, y); }
float Sqrtf(float x) { return std::sqrt(x); }
