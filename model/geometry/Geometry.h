#pragma once
// The board geometry in one include: points, sizes and rectangles, the angle normaliser and the
// 16-byte archive form of a point that every item record uses.

#include "model/geometry/DPoint.h"
#include "model/geometry/DRect.h"
#include "model/geometry/DSize.h"

class CArchive;

// Brings a radian angle into [0, 2*pi); within 1e-6 of 0, 2*pi or pi it becomes exactly 0 or pi.
void NormalizeAngle(double& angle);

// x then y as little-endian IEEE doubles.
CArchive& WriteDPoint(CArchive& ar, const tagDPOINT& p);
CArchive& ReadDPoint(CArchive& ar, tagDPOINT& p);
