// Single-precision 3-vectors for positions (km, planet-centred) and velocities (km/s).
// Pure functions; any thread.
#pragma once

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  friend bool operator==(const Vector3&, const Vector3&) = default;
};

Vector3 Add(Vector3 a, Vector3 b);
Vector3 Subtract(Vector3 a, Vector3 b);
Vector3 Scale(Vector3 v, float s);
float Length(Vector3 v);
float Dot(Vector3 a, Vector3 b);
Vector3 Cross(Vector3 a, Vector3 b);
// v scaled to length 1; the zero vector (which has no direction) stays zero.
Vector3 Normalize(Vector3 v);

// Single-precision wrappers used by the sound formulas.
float Acosf(float x);
float Cosf(float x);
float Expf(float x);
float Powf(float x, float y);
float Sqrtf(float x);
