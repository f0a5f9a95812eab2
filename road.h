// fieldcore road component: every public header of fieldcore::road (LandXML in and out, the
// road model, stations, key points, locate, sample and plot). Link fieldcore::road.
#pragma once

#include "road/landXmlReader.h"
#include "road/landXmlWriter.h"
#include "road/roadBatch.h"
#include "road/roadBuilder.h"
#include "road/roadDesignHeight.h"
#include "road/roadGeometry.h"
#include "road/roadKeyPoints.h"
#include "road/roadLocator.h"
#include "road/roadModel.h"
#include "road/roadPlot.h"
#include "road/roadPoints.h"
#include "road/roadSampler.h"
#include "road/roadStationText.h"
#include "road/roadStations.h"
#include "road/svgScene.h"
