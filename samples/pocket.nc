(Trazvik sample: a rounded square groove and a drilled hole)
(arc centres I J are absolute, as the default setting chkAbsolutArcPos reads them)
G21
G0 Z5
G0 X20 Y10
G1 Z-2 F300 S12000
G1 X50 F800
G3 X60 Y20 I50 J20
G1 Y50
G3 X50 Y60 I50 J50
G1 X20
G3 X10 Y50 I20 J50
G1 Y20
G3 X20 Y10 I20 J20
G0 Z5
G0 X35 Y35
G1 Z-6 F200
G0 Z5
M30
