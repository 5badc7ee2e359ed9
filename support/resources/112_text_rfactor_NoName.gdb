NoName
{
  Filter Properties = RFACTOR SRGrandPrix OW F3 *
  Attrition = 30
  TrackName = NoName
  GrandPrixName = NoName
  EventName = NoName
  VenueName = NoName
  Location = NoName
  Length = 3.200 km / 1.988 mi
  TrackType = Permanent Road Course
  Track Record = Robin Harlow, 95.400
  GarageDepth = 3.0
  RacePitKPH = 80.0
  NormalPitKPH = 60.0

  // Sessions: day, start time and length in minutes
  Practice1Day = Friday
  Practice1Start = 10:00
  Practice1Duration = 60
  Practice2Day = Friday
  Practice2Start = 14:00
  Practice2Duration = 60
  Practice3Day = Saturday
  Practice3Start = 09:00
  Practice3Duration = 45
  Practice4Day = Saturday
  Practice4Start = 11:00
  Practice4Duration = 45
  QualifyDay = Saturday
  QualifyStart = 14:00
  QualifyDuration = 60
  QualifyLaps = 12
  WarmupDay = Sunday
  WarmupStart = 09:30
  WarmupDuration = 30
  RaceDay = Sunday
  RaceStart = 14:00
  RaceLaps = 50
  RaceTime = 120

  // Sun and sky
  SkyBlendSunAngles = (-20.5, -1.0, 11.5, 25.5)
  ShadowMinSunAngle = 15.0
  Latitude = 45.0
  NorthDirection = 0
  RaceDate = June 14

  // Scene colours by time of day
  SunriseAmbientRGB = (80, 78, 90)
  SunriseDirectionalRGB = (255, 214, 170)
  SunriseFogRGB = (196, 176, 168)
  DayAmbientRGB = (112, 112, 118)
  DayDirectionalRGB = (255, 250, 236)
  DayFogRGB = (204, 212, 224)
  SunsetAmbientRGB = (86, 76, 84)
  SunsetDirectionalRGB = (250, 190, 140)
  SunsetFogRGB = (190, 160, 150)
  NightAmbientRGB = (22, 24, 36)
  NightDirectionalRGB = (30, 34, 56)
  NightFogRGB = (12, 14, 20)

  SettingsFolder = NoName
  SettingsCopy = NoName.svm
  SettingsAI = NoName.svm
  Qualify Laptime = 96.800
  Race Laptime = 98.200
}
